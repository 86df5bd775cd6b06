// OpenRaster encoding. Layer images and the merged picture are PNG already,
// so they are stored in the zip as they are; only stack.xml is deflated.
#include "output/ora_file.h"

#include <cstdio>
#include <cstdlib>
#include <atomic>
#include <cstdint>
#include <new>
#include <system_error>
#include <thread>

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

// Half the size, each pixel the alpha-weighted mean of the 2 x 2 it covers
// (an odd last row or column is dropped).
static DIB *HalfSize(const DIB *image)
{
    int w = image->width / 2 > 0 ? image->width / 2 : 1, h = image->height / 2 > 0 ? image->height / 2 : 1;
    DIB *half = DIB_Create(32, w, h);
    if (!half)
        return nullptr;
    for (int y = 0; y < h; y++) {
        const unsigned char *rows[2] = {DIB_RowTD(image, 2 * y < image->height ? 2 * y : 0),
                                        DIB_RowTD(image, 2 * y + 1 < image->height ? 2 * y + 1 : 2 * y)};
        unsigned char *out = DIB_RowTD(half, y);
        for (int x = 0; x < w; x++) {
            int x0 = 2 * x < image->width ? 2 * x : 0, x1 = 2 * x + 1 < image->width ? 2 * x + 1 : x0;
            const unsigned char *p[4] = {rows[0] + 4 * x0, rows[0] + 4 * x1, rows[1] + 4 * x0, rows[1] + 4 * x1};
            // Colour weighted by alpha, so transparent pixels lend no colour.
            unsigned alpha = p[0][3] + p[1][3] + p[2][3] + p[3][3];
            for (int c = 0; c < 3; c++) {
                unsigned sum = p[0][c] * p[0][3] + p[1][c] * p[1][3] + p[2][c] * p[2][3] + p[3][c] * p[3][3];
                out[4 * x + c] = alpha ? (unsigned char)((sum + alpha / 2) / alpha) : 0;
            }
            out[4 * x + 3] = (unsigned char)((alpha + 2) / 4);
        }
    }
    return half;
}

DIB *Ora_Thumbnail(const DIB *image, int maxSide)
{
    DIB *thumb = DIB_Share(image);
    while (thumb && (thumb->width > maxSide || thumb->height > maxSide)) {
        DIB *half = HalfSize(thumb);
        DIB_Delete_(thumb);
        thumb = half;
    }
    return thumb;
}

static bool EncodePng(const DIB *image, std::vector<unsigned char> *out)
{
    size_t size = 0;
    unsigned char *png = DIB_EncodePNG(image, &size);
    if (png)
        out->assign(png, png + size);
    free(png);
    return png != nullptr;
}

// A PNG entry of the archive: its name, the image and its encoding, made
// before the archive is built so that it is sized once.
struct PngEntry {
    std::string name;
    const DIB *image;
    EncodedLayer png;
};

// Encodes every entry, on this thread and one helper: the layers' PNGs are
// most of an OpenRaster file's cost, and the pictures beside them wait for
// it. Without a helper thread everything is encoded here. Layers are taken
// from and kept in `shared`; the thumbnail is this picture's own.
static int PngEntries_Encode(std::vector<PngEntry> &entries, LayerEncodings *shared)
{
    std::atomic<size_t> next(0);
    auto work = [&entries, &next, shared] {
        for (size_t i; (i = next++) < entries.size();) {
            bool layer = i + 1 < entries.size();
            entries[i].png = LayerEncodings_Get(layer ? shared : nullptr, LAYER_ENCODING_PNG, entries[i].image, EncodePng);
        }
    };
    std::thread helper;
    try {
        helper = std::thread(work);
    } catch (const std::system_error &) {
    }
    work();
    if (helper.joinable())
        helper.join();
    for (const PngEntry &e : entries)
        if (!e.png)
            return 0;
    return 1;
}

int OraFile_Encode(const PartLayers *layers, const DIB *merged, const unsigned char *mergedPng, size_t mergedPngSize,
                   LayerEncodings *shared, std::vector<unsigned char> *out)
{
    out->clear();
    if (!merged || merged->bitCount != 32)
        return 0;
    std::vector<PngEntry> pngs;
    DIB *thumb = nullptr;
    int ok = 0;
    try {
        for (int i = 0; i < layers->count; i++)
            pngs.push_back(PngEntry{LayerSource(i), layers->layers[i].image, nullptr});
        thumb = Ora_Thumbnail(merged, ORA_THUMBNAIL_MAX);
        pngs.push_back(PngEntry{"Thumbnails/thumbnail.png", thumb, nullptr});
        ok = thumb && PngEntries_Encode(pngs, shared);
        std::string stack = Ora_StackXml(layers);
        ZipArchive zip = {};
        size_t total = sizeof ORA_MIMETYPE + stack.size() + mergedPngSize + 1024;
        for (const PngEntry &e : pngs)
            total += (e.png ? e.png->size() : 0) + 2 * e.name.size() + 100;
        zip.bytes.reserve(total);
        // Readers recognise the format by these bytes at offset 38: the
        // first entry, stored, with no extra field.
        ZipArchive_Add(&zip, "mimetype", ORA_MIMETYPE, sizeof ORA_MIMETYPE - 1, ZIP_STORED);
        ZipArchive_Add(&zip, "stack.xml", stack.data(), stack.size(), ZIP_DEFLATED);
        for (const PngEntry &e : pngs)
            if (ok)
                ok = ZipArchive_Add(&zip, e.name.c_str(), e.png->data(), e.png->size(), ZIP_STORED);
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
    DIB_Delete_(thumb);
    if (!ok)
        out->clear();
    return ok;
}
