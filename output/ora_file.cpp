// OpenRaster encoding. Layer images and the merged picture are PNG already,
// so they are stored in the zip as they are; only stack.xml is deflated.
#include "output/ora_file.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstdint>
#include <new>

#include "core/imaging/zip_writer.h"
#include "core/text_cp949.h"

static const char ORA_MIMETYPE[] = "image/openraster";

static std::string XmlEscaped(const std::string &text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            // XML 1.0 has no place for control characters but tab and line ends.
            if ((unsigned char)c >= 0x20 || c == '\t' || c == '\n' || c == '\r')
                out += c;
        }
    }
    return out;
}

static std::string LayerSource(int index)
{
    char name[32];
    snprintf(name, sizeof name, "data/%03d.png", index);
    return name;
}

std::string Ora_StackXml(const PartLayers *layers)
{
    char line[128];
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    snprintf(line, sizeof line, "<image version=\"0.0.6\" w=\"%d\" h=\"%d\">\n <stack>\n", layers->width,
             layers->height);
    xml += line;
    // The stack lists the top-most layer first.
    for (int i = layers->count - 1; i >= 0; i--) {
        const PartLayer &layer = layers->layers[i];
        xml += "  <layer name=\"" + XmlEscaped(Cp949_ToUtf8(layer.name)) + "\" src=\"" + LayerSource(i) + "\"";
        snprintf(line, sizeof line,
                 " x=\"%d\" y=\"%d\" opacity=\"1.0\" visibility=\"visible\" composite-op=\"svg:src-over\"/>\n",
                 layer.offset.x, layer.offset.y);
        xml += line;
    }
    xml += " </stack>\n</image>\n";
    return xml;
}

DIB *Ora_Thumbnail(const DIB *image, int maxSide)
{
    int w = image->width, h = image->height;
    int longSide = w > h ? w : h;
    if (longSide > maxSide) {
        w = (int)((long long)w * maxSide / longSide);
        h = (int)((long long)h * maxSide / longSide);
    }
    if (w < 1) w = 1;
    if (h < 1) h = 1;
    DIB *thumb = DIB_Create(32, w, h);
    if (!thumb)
        return nullptr;
    // Each thumbnail pixel covers source columns [x0, x1) and rows [y0, y1).
    std::vector<int> columns((size_t)w + 1);
    for (int tx = 0; tx <= w; tx++)
        columns[tx] = (int)((long long)tx * image->width / w);
    // Per thumbnail column: alpha-weighted colour sums and alpha, so that
    // transparent pixels lend no colour.
    std::vector<uint64_t> sums((size_t)w * 4);
    for (int ty = 0; ty < h; ty++) {
        int y0 = (int)((long long)ty * image->height / h), y1 = (int)((long long)(ty + 1) * image->height / h);
        if (y1 <= y0)
            y1 = y0 + 1;
        std::fill(sums.begin(), sums.end(), 0);
        for (int y = y0; y < y1; y++) {
            const unsigned char *p = DIB_RowTD(image, y);
            for (int tx = 0; tx < w; tx++) {
                uint64_t *s = &sums[4 * (size_t)tx];
                for (int x = columns[tx]; x < columns[tx + 1]; x++) {
                    const unsigned char *q = p + 4 * x;
                    unsigned a = q[3];
                    s[0] += q[0] * a;
                    s[1] += q[1] * a;
                    s[2] += q[2] * a;
                    s[3] += a;
                }
            }
        }
        unsigned char *out = DIB_RowTD(thumb, ty);
        for (int tx = 0; tx < w; tx++) {
            const uint64_t *s = &sums[4 * (size_t)tx];
            uint64_t pixels = (uint64_t)(y1 - y0) * (uint64_t)(columns[tx + 1] - columns[tx] > 0 ? columns[tx + 1] - columns[tx] : 1);
            for (int c = 0; c < 3; c++)
                out[4 * tx + c] = s[3] ? (unsigned char)((s[c] + s[3] / 2) / s[3]) : 0;
            out[4 * tx + 3] = (unsigned char)((s[3] + pixels / 2) / pixels);
        }
    }
    return thumb;
}

// A PNG entry's name and bytes (malloc'd), encoded before the archive is
// built so that it is sized once.
struct PngEntry {
    std::string name;
    unsigned char *png;
    size_t size;
};

static int PngEntry_Encode(std::vector<PngEntry> &entries, const std::string &name, const DIB *image)
{
    PngEntry e = {name, nullptr, 0};
    e.png = image ? DIB_EncodePNG(image, &e.size) : nullptr;
    entries.push_back(e);
    return e.png != nullptr;
}

int OraFile_Encode(const PartLayers *layers, const DIB *merged, const unsigned char *mergedPng, size_t mergedPngSize,
                   std::vector<unsigned char> *out)
{
    out->clear();
    if (!merged || merged->bitCount != 32)
        return 0;
    std::vector<PngEntry> pngs;
    int ok = 0;
    try {
        ok = 1;
        for (int i = 0; i < layers->count && ok; i++)
            ok = PngEntry_Encode(pngs, LayerSource(i), layers->layers[i].image);
        DIB *thumb = ok ? Ora_Thumbnail(merged, ORA_THUMBNAIL_MAX) : nullptr;
        ok = ok && PngEntry_Encode(pngs, "Thumbnails/thumbnail.png", thumb);
        DIB_Delete_(thumb);
        std::string stack = Ora_StackXml(layers);
        ZipArchive zip = {};
        size_t total = sizeof ORA_MIMETYPE + stack.size() + mergedPngSize + 1024;
        for (const PngEntry &e : pngs)
            total += e.size + 2 * e.name.size() + 100;
        zip.bytes.reserve(total);
        // Readers recognise the format by these bytes at offset 38: the
        // first entry, stored, with no extra field.
        ZipArchive_Add(&zip, "mimetype", ORA_MIMETYPE, sizeof ORA_MIMETYPE - 1, ZIP_STORED);
        ZipArchive_Add(&zip, "stack.xml", stack.data(), stack.size(), ZIP_DEFLATED);
        for (const PngEntry &e : pngs)
            if (ok)
                ok = ZipArchive_Add(&zip, e.name.c_str(), e.png, e.size, ZIP_STORED);
        if (ok && mergedPng) {
            ok = ZipArchive_Add(&zip, "mergedimage.png", mergedPng, mergedPngSize, ZIP_STORED);
        } else if (ok) {
            size_t size = 0;
            unsigned char *png = DIB_EncodePNG(merged, &size);
            ok = png && ZipArchive_Add(&zip, "mergedimage.png", png, size, ZIP_STORED);
            free(png);
        }
        ok = ok && ZipArchive_Finish(&zip);
        if (ok)
            out->swap(zip.bytes);
    } catch (const std::bad_alloc &) {
        ok = 0;
    }
    for (PngEntry &e : pngs)
        free(e.png);
    if (!ok)
        out->clear();
    return ok;
}
