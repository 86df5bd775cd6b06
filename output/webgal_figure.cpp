// The WebGAL figure set's file names, scene and README.
#include "core/text_cp949.h"
#include "output/credits.h"
#include "output/webgal_figure.h"

static std::string FigureFolder(const FigureNames *names)
{
    return "game/figure/" + names->tag + "/";
}

std::string WebGal_FigureFile(const FigureNames *names, int style, int expression, int frame)
{
    return FigureFolder(names) + FigureNames_Stem(names, style, expression, FIGURE_FRAME_WORDS[frame]) + ".png";
}

std::string WebGal_CreditsFile(const FigureNames *names)
{
    return FigureFolder(names) + CREDITS_FILE;
}

std::string WebGal_SceneFile(const FigureNames *names)
{
    return "game/scene/" + names->tag + ".txt";
}

// A display name for a comment line: in UTF-8, with what would end the
// comment (`;`, a line break) made a space.
static std::string CommentText(const std::string &label)
{
    std::string text = Cp949_ToUtf8(label.c_str());
    for (char &c : text)
        if (c == ';' || (unsigned char)c < 0x20)
            c = ' ';
    return text;
}

// A figure as changeFigure names it: relative to game/figure/.
static std::string FigureArgument(const FigureNames *names, int style, int expression, int frame)
{
    return names->tag + "/" + FigureNames_Stem(names, style, expression, FIGURE_FRAME_WORDS[frame]) + ".png";
}

std::string WebGal_SceneText(const FigureNames *names, const FigureFrameTable &frames)
{
    std::string text;
    size_t expressions = names->expressions.size();
    for (size_t i = 0; i < names->styles.size(); i++)
        for (size_t j = 0; j < expressions; j++) {
            const std::vector<char> &has = frames[i * expressions + j];
            int s = (int)i, e = (int)j;
            text += "; " + CommentText(names->styleLabels[i]) + " (" + names->styles[i] + ") x " +
                    CommentText(names->expressionLabels[j]) + " (" + names->expressions[j] + ")\n";
            std::string still = FigureArgument(names, s, e, FIGURE_STILL);
            text += "changeFigure:" + still + " -id=" + names->tag;
            if (has[FIGURE_BLINK] || has[FIGURE_TALK])
                text += " -animationFlag=on";
            if (has[FIGURE_BLINK])
                text += " -eyesOpen=" + still + " -eyesClose=" + FigureArgument(names, s, e, FIGURE_BLINK);
            if (has[FIGURE_TALK])
                text += " -mouthOpen=" + FigureArgument(names, s, e, FIGURE_TALK) + " -mouthClose=" + still;
            text += ";\n";
        }
    return text;
}

std::string WebGal_ReadmeText(const FigureNames *names)
{
    const std::string &tag = names->tag;
    std::string lines[] = {
        "VOR - WebGAL figure set \"" + tag + "\"",
        "",
        "[한국어]",
        "game/figure/" + tag + "/ 폴더를 WebGAL 게임의 game/figure/ 폴더에,",
        "game/scene/" + tag + ".txt 파일을 게임의 game/scene/ 폴더에 복사하세요.",
        "장면 파일에는 스타일 x 표정마다 그 조합을 보여 주는 changeFigure 줄이 하나씩 있습니다.",
        "필요한 줄을 자신의 장면에 복사하거나, callScene:" + tag + ".txt; 로 전체를 볼 수 있습니다.",
        "눈 감은 그림과 입 벌린 그림이 있는 조합은 -animationFlag=on 으로 눈 깜박임과 입 움직임을 켭니다.",
        "",
        "[English]",
        "Copy the folder game/figure/" + tag + "/ into your WebGAL game's game/figure/ folder",
        "and game/scene/" + tag + ".txt into its game/scene/ folder.",
        "The scene has one changeFigure line per style x expression; copy the lines you need",
        "into your own scenes, or run callScene:" + tag + ".txt; to see them all.",
        "Pairs with closed-eye and open-mouth pictures turn on blinking and lip movement",
        "with -animationFlag=on.",
        "",
        "game/figure/" + tag + "/CREDITS.txt names the parts' authors and licences.",
    };
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return Cp949_ToUtf8(text.c_str());  // the literals are CP949
}
