// The table of the export's formats (output/export_format.h). A new format
// is its writer file and one row here.
#include "output/export_format.h"

#include <cstring>

#include "output/renpy_export.h"

namespace {

const ExportFormatOption PNG_OPTIONS[] = {
    {"--layered", "FORMAT", EXPORT_SETTING_LAYERED, "a layered file beside each picture, of that format", 0},
    {nullptr, nullptr, nullptr, nullptr, 0},
};

const ExportFormatOption NO_OPTIONS[] = {
    {nullptr, nullptr, nullptr, nullptr, 0},
};

const ExportFormatOption RENPY_OPTIONS[] = {
    {"--tag", "TAG", "tag", "the image tag (default: the character's name, when that is a valid Ren'Py name)", 1},
    {"--no-character", nullptr, "no-character", "no Character definition, for a game that defines its own", 1},
    {nullptr, nullptr, nullptr, nullptr, 0},
};

const ExportFormatOption WEBGAL_OPTIONS[] = {
    {"--tag", "TAG", "tag", "the figure folder's and the scene's name (default: the character's name in lower case)", 1},
    {nullptr, nullptr, nullptr, nullptr, 0},
};

const ExportFormatOption ATLAS_OPTIONS[] = {
    {"--tag", "TAG", "tag", "the pages' and the resource's name (default: the character's name in lower case)", 1},
    {"--pot", nullptr, "pot", "pages rounded up to powers of two a side", 0},
    {nullptr, nullptr, nullptr, nullptr, 0},
};

// Folder formats are listed first in the order of the SAVE page's kinds;
// the beside formats follow in LayeredFormat order.
const ExportFormat FORMATS[] = {
    {"png", "PNG 파일, macro.txt(&P)", "png", ".png", EXPORT_FORMAT_FOLDER, "--out", "the export folder", PNG_OPTIONS,
     "Every checked style x every expression as DIR/NAME/STYLE-FOLDER/EXPRESSION.png,\n"
     "then DIR/NAME/macro.txt for the games' scripts and DIR/NAME/CREDITS.txt (the\n"
     "parts' authors, licences and addresses). With --layered, a .psd or .ora of the\n"
     "same name beside each picture, holding its parts as named layers.\n",
     1, "폴더명 입력", "개별 이미지 출력을 완료했습니다", Export_CharacterNameProblem, PngFormat_AddSinks},
    {"renpy", "Ren'Py 캐릭터(&Y)", "renpy", RENPY_SCRIPT_EXTENSION, EXPORT_FORMAT_FOLDER, "--renpy",
     "the game folder to copy into a Ren'Py game's game/", RENPY_OPTIONS,
     "The character as one Ren'Py layeredimage: DIR/TAG.rpy, its layer images below\n"
     "DIR/images/TAG/ and DIR/images/TAG/CREDITS.txt; `show TAG EXPRESSION STYLE`\n"
     "shows the picture the PNG export writes for that pair.\n",
     2, "Ren'Py 출력", "Ren'Py 캐릭터 출력을 완료했습니다", nullptr, RenPyFormat_AddSinks},
    {"webgal", "WebGAL 피규어(&W)", "webgal", ".png", EXPORT_FORMAT_FOLDER, "--webgal",
     "the folder whose game/ goes into a WebGAL game's game/", WEBGAL_OPTIONS,
     "The character as WebGAL figures: every checked style x every expression as\n"
     "DIR/game/figure/TAG/STYLE-FOLDER_EXPRESSION.png (the PNG export's picture) and\n"
     "STYLE-FOLDER_EXPRESSION_blink.png and _talk.png where the eye and mouth shapes\n"
     "have frames, DIR/game/figure/TAG/CREDITS.txt, the scene DIR/game/scene/TAG.txt\n"
     "with a changeFigure line per pair (blinking and talking where it has frames),\n"
     "and DIR/README.txt (where to copy what).\n",
     3, "WebGAL 출력", "WebGAL 피규어 출력을 완료했습니다", nullptr, WebGalFormat_AddSinks},
    {"atlas", "스프라이트 아틀라스(&A)", "atlas", ".png", EXPORT_FORMAT_FOLDER, "--atlas",
     "the atlas folder", ATLAS_OPTIONS,
     "Every checked style x every expression (and its blink and talk frames) trimmed\n"
     "and packed into DIR/TAG.png with DIR/TAG.json (TexturePacker's JSON hash, read\n"
     "by Phaser and PixiJS; further pages TAG-1.png and TAG-1.json past 4096 px),\n"
     "DIR/TAG.tres (a Godot 3 SpriteFrames over the pages) and DIR/CREDITS.txt.\n",
     4, "아틀라스 출력", "스프라이트 아틀라스 출력을 완료했습니다", nullptr, AtlasFormat_AddSinks},
    {"psd", "PSD", "psd", ".psd", EXPORT_FORMAT_BESIDE, nullptr, nullptr, NO_OPTIONS,
     "EXPRESSION.psd beside each EXPRESSION.png: a Photoshop document with the parts\n"
     "as named layers and the picture as its merged image.\n", 0,
     nullptr, nullptr, nullptr, PsdFormat_AddSinks},
    {"ora", "OpenRaster", "ora", ".ora", EXPORT_FORMAT_BESIDE, nullptr, nullptr, NO_OPTIONS,
     "EXPRESSION.ora beside each EXPRESSION.png: an OpenRaster file with the parts as\n"
     "named PNG layers and the picture as its merged image.\n", 0,
     nullptr, nullptr, nullptr, OraFormat_AddSinks},
};

const int FORMAT_COUNT = (int)(sizeof FORMATS / sizeof FORMATS[0]);

}  // namespace

int ExportFormat_Count()
{
    return FORMAT_COUNT;
}

const ExportFormat *ExportFormat_At(int index)
{
    return index >= 0 && index < FORMAT_COUNT ? &FORMATS[index] : nullptr;
}

const ExportFormat *ExportFormat_FromWord(const char *word)
{
    for (const ExportFormat &f : FORMATS)
        if (word && strcmp(f.word, word) == 0)
            return &f;
    return nullptr;
}

const ExportFormat *ExportFormat_FromRegistryWord(const char *word)
{
    for (const ExportFormat &f : FORMATS)
        if (word && strcmp(f.registryWord, word) == 0)
            return &f;
    return nullptr;
}

const ExportFormat *ExportFormat_FromSaveKind(int saveKind)
{
    for (const ExportFormat &f : FORMATS)
        if (f.kind == EXPORT_FORMAT_FOLDER && saveKind > 0 && f.saveKind == saveKind)
            return &f;
    return nullptr;
}

std::vector<const ExportFormat *> ExportFormat_BesideFormats()
{
    std::vector<const ExportFormat *> beside;
    for (const ExportFormat &f : FORMATS)
        if (f.kind == EXPORT_FORMAT_BESIDE)
            beside.push_back(&f);
    return beside;
}

const ExportFormatOption *ExportFormat_Option(const ExportFormat *format, const char *flag)
{
    for (const ExportFormatOption *o = format->options; o->flag; o++)
        if (strcmp(o->flag, flag) == 0)
            return o;
    return nullptr;
}

int ExportFormat_MakeSinks(const std::vector<ExportChoice> &choices, std::vector<ExportSink> *sinks)
{
    for (const ExportChoice &choice : choices) {
        if (!choice.format || !choice.format->addSinks(&choice, sinks)) {
            ExportSinks_Release(sinks);
            return 0;
        }
        auto layered = choice.settings.find(EXPORT_SETTING_LAYERED);
        if (layered == choice.settings.end() || layered->second.empty())
            continue;
        const ExportFormat *beside = ExportFormat_FromWord(layered->second.c_str());
        ExportChoice besideChoice = {beside, choice.base, {}};
        if (!beside || beside->kind != EXPORT_FORMAT_BESIDE || !beside->addSinks(&besideChoice, sinks)) {
            ExportSinks_Release(sinks);
            return 0;
        }
    }
    return 1;
}
