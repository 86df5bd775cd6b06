// PSD encoding (Photoshop documents of version 1, the layout every paint
// program reads). Sections in file order: header, colour mode data (empty), image
// resources (empty), layer and mask information, merged image data.
//
// The merged image's colour is stored matted on white where it is not
// opaque, as Photoshop writes it for a document with transparency; readers
// take the white back out with the alpha channel. The layer count is written
// negative, Photoshop's sign that that fourth channel is the merged
// picture's transparency.
#include "output/psd_file.h"

#include <cstring>
#include <new>
#include <string>

#include "core/text_cp949.h"

namespace {

enum {
    PSD_VERSION = 1,
    PSD_MAX_SIDE = 30000,
    PSD_MODE_RGB = 3,
    PSD_DEPTH = 8,
    PSD_CHANNELS = 4,         // red, green, blue and transparency
    PSD_RLE = 1,
    PSD_CHANNEL_ALPHA = -1,   // the transparency channel's id in a layer record
    PSD_OPAQUE = 255,
    PACKBITS_MAX = 128,       // bytes in one literal or repeat packet
};

// Our 32-bit pixels are blue, green, red, alpha: the byte of each PSD channel.
const int CHANNEL_BYTE[PSD_CHANNELS] = {2, 1, 0, 3};
const int16_t CHANNEL_ID[PSD_CHANNELS] = {PSD_CHANNEL_ALPHA, 0, 1, 2};

struct Out {
    std::vector<unsigned char> &bytes;
    void u8(unsigned v) { bytes.push_back((unsigned char)v); }
    void u16(unsigned v) { u8(v >> 8); u8(v); }
    void u32(uint32_t v) { u16(v >> 16); u16(v & 0xFFFF); }
    void tag(const char *four) { bytes.insert(bytes.end(), four, four + 4); }
    // Reserves a 32-bit length to be filled in by `close` with the bytes
    // written since.
    size_t open() { size_t at = bytes.size(); u32(0); return at; }
    void close(size_t at) { setAt(at, bytes.size() - at - 4); }
    void setAt(size_t at, size_t value)
    {
        for (int i = 0; i < 4; i++)
            bytes[at + i] = (unsigned char)(value >> (24 - 8 * i));
    }
    void padTo(size_t from, size_t multiple)
    {
        while ((bytes.size() - from) % multiple)
            u8(0);
    }
};

// The channel byte of every pixel of one row, top-down row `y`. For the
// merged picture (`matte`), colour on white by alpha.
void ChannelRow(const DIB *image, int y, int channel, bool matte, unsigned char *row)
{
    const unsigned char *pixel = DIB_RowTD(image, y);
    const int byte = CHANNEL_BYTE[channel];
    if (!matte || channel == 3) {
        for (int x = 0; x < image->width; x++)
            row[x] = pixel[4 * x + byte];
        return;
    }
    for (int x = 0; x < image->width; x++) {
        unsigned v = pixel[4 * x + byte], a = pixel[4 * x + 3];
        row[x] = (unsigned char)((v * a + PSD_OPAQUE * (PSD_OPAQUE - a) + 127) / PSD_OPAQUE);
    }
}

// The RLE rows of channels of an image: every channel's row byte counts,
// channel after channel, and the packed rows in the same order.
struct PackedChannels {
    std::vector<uint16_t> counts;
    std::vector<unsigned char> data;
    std::vector<size_t> start;  // where each channel's rows begin in `data`, and the end
};

void PackChannels(const DIB *image, const int *channels, int count, bool matte, PackedChannels *packed)
{
    const int w = image->width, h = image->height;
    std::vector<unsigned char> row((size_t)w);
    packed->data.resize((size_t)count * h * PSD_PACKBITS_BOUND(w));
    packed->counts.resize((size_t)count * h);
    packed->start.assign((size_t)count + 1, 0);
    size_t used = 0;
    for (int c = 0; c < count; c++) {
        packed->start[c] = used;
        for (int y = 0; y < h; y++) {
            ChannelRow(image, y, channels[c], matte, row.data());
            size_t n = Psd_PackBitsRow(row.data(), w, packed->data.data() + used);
            packed->counts[(size_t)c * h + y] = (uint16_t)n;
            used += n;
        }
    }
    packed->start[count] = used;
    packed->data.resize(used);
}

// A layer's channel data, transparency first: each channel starts with its
// compression word and its row byte counts.
const int LAYER_CHANNEL_ORDER[PSD_CHANNELS] = {3, 0, 1, 2};

bool EncodeLayerChannels(const DIB *image, std::vector<unsigned char> *bytes)
{
    PackedChannels packed;
    PackChannels(image, LAYER_CHANNEL_ORDER, PSD_CHANNELS, false, &packed);
    Out out{*bytes};
    const int h = image->height;
    for (int c = 0; c < PSD_CHANNELS; c++) {
        out.u16(PSD_RLE);
        for (int y = 0; y < h; y++)
            out.u16(packed.counts[(size_t)c * h + y]);
        out.bytes.insert(out.bytes.end(), packed.data.begin() + (ptrdiff_t)packed.start[c],
                         packed.data.begin() + (ptrdiff_t)packed.start[c + 1]);
    }
    return true;
}

// The bytes of each channel in a layer's channel data: its compression
// word, the row counts and the rows they count.
void LayerChannelLengths(const std::vector<unsigned char> &bytes, int height, size_t *lengths)
{
    size_t at = 0;
    for (int c = 0; c < PSD_CHANNELS; c++) {
        size_t length = 2 + 2 * (size_t)height;
        for (int y = 0; y < height; y++)
            length += (size_t)bytes[at + 2 + 2 * y] << 8 | bytes[at + 3 + 2 * y];
        lengths[c] = length;
        at += length;
    }
}

// The merged picture's data: one compression word, the row counts of every
// channel, then every channel's rows.
void WriteMergedImage(Out &out, const DIB *image)
{
    static const int order[PSD_CHANNELS] = {0, 1, 2, 3};
    PackedChannels packed;
    PackChannels(image, order, PSD_CHANNELS, true, &packed);
    out.u16(PSD_RLE);
    for (uint16_t n : packed.counts)
        out.u16(n);
    out.bytes.insert(out.bytes.end(), packed.data.begin(), packed.data.end());
}

void WriteHeader(Out &out, int width, int height)
{
    out.tag("8BPS");
    out.u16(PSD_VERSION);
    for (int i = 0; i < 6; i++)
        out.u8(0);
    out.u16(PSD_CHANNELS);
    out.u32((uint32_t)height);
    out.u32((uint32_t)width);
    out.u16(PSD_DEPTH);
    out.u16(PSD_MODE_RGB);
    out.u32(0);  // colour mode data
    out.u32(0);  // image resources
}

// The record's extra data: no mask, no blending ranges, the names.
void WriteNames(Out &out, const char *name)
{
    size_t extra = out.open();
    out.u32(0);  // layer mask data
    out.u32(0);  // blending ranges
    size_t pascal = out.bytes.size();
    size_t n = strlen(name) > 255 ? 255 : strlen(name);
    out.u8((unsigned)n);
    out.bytes.insert(out.bytes.end(), name, name + n);
    out.padTo(pascal, 4);
    std::u16string wide = Cp949_ToUtf16(name);
    out.tag("8BIM");
    out.tag("luni");
    size_t block = out.open();
    out.u32((uint32_t)wide.size());
    for (char16_t c : wide)
        out.u16(c);
    out.padTo(block + 4, 4);
    out.close(block);
    out.close(extra);
}

// One layer record; the channel lengths are filled in once the channel
// data is written. Returns where the first length stands.
size_t WriteRecord(Out &out, const PartLayer &layer)
{
    out.u32((uint32_t)layer.offset.y);
    out.u32((uint32_t)layer.offset.x);
    out.u32((uint32_t)(layer.offset.y + layer.image->height));
    out.u32((uint32_t)(layer.offset.x + layer.image->width));
    out.u16(PSD_CHANNELS);
    size_t lengths = out.bytes.size();
    for (int16_t id : CHANNEL_ID) {
        out.u16((uint16_t)id);
        out.u32(0);
    }
    out.tag("8BIM");
    out.tag("norm");
    out.u8(PSD_OPAQUE);  // opacity
    out.u8(0);           // clipping: base
    out.u8(0);           // flags: visible, not protected
    out.u8(0);           // filler
    WriteNames(out, layer.name);
    return lengths;
}

int WriteLayers(Out &out, const PartLayers *layers, LayerEncodings *shared)
{
    size_t section = out.open();
    if (layers->count == 0) {
        // A picture of nothing: no layer information at all, as Photoshop
        // writes a document without layers.
        out.u32(0);
        out.u32(0);
        out.close(section);
        return 1;
    }
    size_t info = out.open();
    out.u16((uint16_t)(int16_t)-layers->count);
    std::vector<size_t> lengthAt;
    for (int i = 0; i < layers->count; i++)
        lengthAt.push_back(WriteRecord(out, layers->layers[i]));
    // The channel data in record order, each record's channels in its order.
    for (int i = 0; i < layers->count; i++) {
        const DIB *image = layers->layers[i].image;
        EncodedLayer channels = LayerEncodings_Get(shared, LAYER_ENCODING_RLE_CHANNELS, image, EncodeLayerChannels);
        if (!channels)
            return 0;
        size_t lengths[PSD_CHANNELS];
        LayerChannelLengths(*channels, image->height, lengths);
        out.bytes.insert(out.bytes.end(), channels->begin(), channels->end());
        for (int c = 0; c < PSD_CHANNELS; c++)
            out.setAt(lengthAt[i] + 6 * c + 2, lengths[c]);
    }
    out.padTo(info + 4, 2);
    out.close(info);
    out.u32(0);  // global layer mask information
    out.close(section);
    return 1;
}

}  // namespace

size_t Psd_PackBitsRow(const unsigned char *row, int count, unsigned char *out)
{
    unsigned char *start = out;
    int i = 0;
    while (i < count) {
        int run = 1;
        while (i + run < count && run < PACKBITS_MAX && row[i + run] == row[i])
            run++;
        if (run >= 3) {
            // A repeat: 257 - n as the header byte, then the byte.
            *out++ = (unsigned char)(257 - run);
            *out++ = row[i];
            i += run;
            continue;
        }
        // A literal up to the next three equal bytes (a pair costs as much
        // either way, and breaking the literal for it would cost a header).
        int n = run;
        while (i + n < count && n < PACKBITS_MAX &&
               !(i + n + 2 < count && row[i + n] == row[i + n + 1] && row[i + n] == row[i + n + 2]))
            n++;
        *out++ = (unsigned char)(n - 1);
        memcpy(out, row + i, (size_t)n);
        out += n;
        i += n;
    }
    return (size_t)(out - start);
}

int PsdFile_Encode(const PartLayers *layers, const DIB *merged, LayerEncodings *shared, std::vector<unsigned char> *out)
{
    out->clear();
    if (!merged || merged->bitCount != 32 || merged->width > PSD_MAX_SIDE || merged->height > PSD_MAX_SIDE ||
        merged->width < 1 || merged->height < 1 || layers->count > 0x7FFF)
        return 0;
    try {
        Out o{*out};
        out->reserve((size_t)merged->width * merged->height * 4 * 2);
        WriteHeader(o, merged->width, merged->height);
        if (!WriteLayers(o, layers, shared)) {
            out->clear();
            return 0;
        }
        WriteMergedImage(o, merged);
        return 1;
    } catch (const std::bad_alloc &) {
        out->clear();
        return 0;
    }
}
