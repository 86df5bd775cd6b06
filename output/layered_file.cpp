// The layered file beside each picture: the sink that takes the picture's
// parts while the document shows them and encodes and writes the file after
// the picture's PNG, as PSD or OpenRaster.
#include "output/layered_file.h"

#include <memory>
#include <string>
#include <vector>

#include "output/export_format.h"
#include "output/ora_file.h"
#include "output/psd_file.h"

namespace {

typedef int (*LayeredEncode)(const PartLayers *parts, const DIB *image, const std::vector<unsigned char> &png,
                             LayerEncodings *shared, std::vector<unsigned char> *out);

int Layered_EncodePsd(const PartLayers *parts, const DIB *image, const std::vector<unsigned char> &png,
                      LayerEncodings *shared, std::vector<unsigned char> *out)
{
    (void)png;
    return PsdFile_Encode(parts, image, shared, out);
}

// OpenRaster's merged image is the picture's own PNG bytes.
int Layered_EncodeOra(const PartLayers *parts, const DIB *image, const std::vector<unsigned char> &png,
                      LayerEncodings *shared, std::vector<unsigned char> *out)
{
    return !png.empty() && OraFile_Encode(parts, image, png.data(), png.size(), shared, out);
}

struct LayeredSink {
    std::string base;
    const char *extension;
    LayeredEncode encode;
    // The export's layer encodings, shared by its pictures (may be nullptr:
    // each file then encodes all its layers itself).
    LayerEncodings *shared;
};

struct PartLayersFree {
    void operator()(PartLayers *p) const
    {
        PartLayers_Free(p);
        delete p;
    }
};

void Layered_Picture(void *state, ExportDriver *driver, ExportShot *shot)
{
    LayeredSink *sink = (LayeredSink *)state;
    const ExportPicture *picture = ExportShot_Picture(shot);
    Character *ch = ExportDriver_Character(driver);
    const char *folder = picture->style->outputFolder ? picture->style->outputFolder : "";
    ExportPath path = ExportPath_Below(sink->base.c_str(),
                                       Export_PictureName(ch->name, folder, picture->expressionFolder, sink->extension));
    if (!ExportShot_CanWrite(shot, path))
        return;
    std::shared_ptr<PartLayers> parts(new PartLayers(), PartLayersFree());
    if (!PartLayers_Take(ch, ExportDriver_Wardrobe(driver), parts.get())) {
        ExportShot_Report(shot, path.shown, FILEWRITE_NO_DATA);
        return;
    }
    std::string file = path.path;
    ExportShot_Later(shot, [sink, parts, file](ExportShot *s) {
        std::vector<unsigned char> bytes;
        const DIB *image = ExportShot_Image(s);
        int encoded = sink->encode(parts.get(), image, ExportShot_Png(s), sink->shared, &bytes);
        ExportShot_Report(s, file, encoded ? Export_WriteBytesFile(file.c_str(), bytes.data(), bytes.size())
                                           : (int)FILEWRITE_NO_DATA);
    });
}

void Layered_Release(void *state)
{
    LayeredSink *sink = (LayeredSink *)state;
    LayerEncodings_Destroy(sink->shared);
    delete sink;
}

int Layered_AddSink(const ExportChoice *choice, LayeredEncode encode, std::vector<ExportSink> *sinks)
{
    LayeredSink *sink = new LayeredSink{choice->base, choice->format->extension, encode,
                                        LayerEncodings_Create(LAYERED_SHARED_BUDGET)};
    sinks->push_back(ExportSink{sink, nullptr, Layered_Picture, nullptr, nullptr, Layered_Release, 1, 0});
    return 1;
}

}  // namespace

int PsdFormat_AddSinks(const ExportChoice *choice, std::vector<ExportSink> *sinks)
{
    return Layered_AddSink(choice, Layered_EncodePsd, sinks);
}

int OraFormat_AddSinks(const ExportChoice *choice, std::vector<ExportSink> *sinks)
{
    return Layered_AddSink(choice, Layered_EncodeOra, sinks);
}
