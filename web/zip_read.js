// Reading a part pack from a .zip: the central directory, then each entry
// stored or deflated (the browser's own raw-deflate stream), checked
// against its CRC. A damaged archive throws an Error with a Korean message.
'use strict';

const ZipRead = (() => {
  const CRC_TABLE = (() => {
    const t = new Uint32Array(256);
    for (let n = 0; n < 256; n++) {
      let c = n;
      for (let k = 0; k < 8; k++) c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
      t[n] = c >>> 0;
    }
    return t;
  })();

  function crc32(bytes) {
    let c = 0xFFFFFFFF;
    for (let i = 0; i < bytes.length; i++) c = CRC_TABLE[(c ^ bytes[i]) & 0xFF] ^ (c >>> 8);
    return (c ^ 0xFFFFFFFF) >>> 0;
  }

  function damaged(why) {
    return new Error('zip 파일이 손상되었습니다 (' + why + ').');
  }

  async function inflateRaw(bytes) {
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
    return new Uint8Array(await new Response(stream).arrayBuffer());
  }

  async function deflateRaw(bytes) {
    const stream = new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate-raw'));
    return new Uint8Array(await new Response(stream).arrayBuffer());
  }

  // The entries of the archive as [{path, bytes}], folders left out.
  async function entries(buffer) {
    const bytes = new Uint8Array(buffer);
    const view = new DataView(buffer);
    let end = -1;
    for (let i = bytes.length - 22; i >= 0 && i >= bytes.length - 22 - 65535; i--) {
      if (view.getUint32(i, true) === 0x06054B50) { end = i; break; }
    }
    if (end < 0) throw damaged('끝 레코드가 없음');
    const count = view.getUint16(end + 10, true);
    let pos = view.getUint32(end + 16, true);
    const out = [];
    const utf8 = new TextDecoder('utf-8');
    for (let n = 0; n < count; n++) {
      if (pos + 46 > bytes.length || view.getUint32(pos, true) !== 0x02014B50) throw damaged('목록이 잘림');
      const method = view.getUint16(pos + 10, true);
      const crc = view.getUint32(pos + 16, true);
      const packed = view.getUint32(pos + 20, true);
      const size = view.getUint32(pos + 24, true);
      const nameLength = view.getUint16(pos + 28, true);
      const extra = view.getUint16(pos + 30, true);
      const comment = view.getUint16(pos + 32, true);
      const local = view.getUint32(pos + 42, true);
      const path = utf8.decode(bytes.subarray(pos + 46, pos + 46 + nameLength));
      pos += 46 + nameLength + extra + comment;
      if (path.endsWith('/')) continue;
      if (local + 30 > bytes.length || view.getUint32(local, true) !== 0x04034B50) throw damaged(path);
      const start = local + 30 + view.getUint16(local + 26, true) + view.getUint16(local + 28, true);
      if (start + packed > bytes.length) throw damaged(path + ' 잘림');
      const body = bytes.subarray(start, start + packed);
      let data;
      if (method === 0) data = body.slice();
      else if (method === 8) {
        try { data = await inflateRaw(body); } catch (e) { throw damaged(path); }
      } else throw damaged(path + ': 압축 방식 ' + method);
      if (data.length !== size || crc32(data) !== crc) throw damaged(path + ' 검사합 불일치');
      out.push({ path, bytes: data });
    }
    return out;
  }

  return { entries, crc32, inflateRaw, deflateRaw };
})();
