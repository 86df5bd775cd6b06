// The Ren'Py export's script: one layeredimage statement over the planned
// layers, the character who speaks with it and its side image, the
// animations of its eyes and mouth, opened by a comment that says how to use
// it.
//
// Blinking is ATL of the Ren'Py documentation's pattern: the open eyes for a
// wait chosen at random, the closed frame for an instant, again. Talking is
// its lip-flap pattern: the Character's callback notes whose line is being
// shown, and a DynamicDisplayable shows the moving mouth while it is that
// character's and the still one otherwise. The helpers are named vor_* and
// written identically by every exported character, so several may share
// one game.
#include <cstdio>

#include "core/text_cp949.h"
#include "output/renpy_export.h"

// The waits between blinks (seconds), one chosen at random each time, and
// how long the eyes stay shut: a blink every four seconds on average.
static const char *const BLINK_WAITS[] = {"2.5", "3.5", "4.0", "4.5", "6.0"};
static const char BLINK_SHUT[] = "0.15";
// How long the talking mouth and the still one each show while speaking.
static const char TALK_STEP[] = "0.12";
// The attribute that holds the eyes open.
static const char *const NO_BLINK = RENPY_NO_BLINK;

static std::string Joined(const std::vector<std::string> &words)
{
    std::string text;
    for (const std::string &w : words)
        text += (text.empty() ? "" : " ") + w;
    return text;
}

// A Python string literal of a UTF-8 text that Ren'Py shows as it is: its
// text tags ({) and substitutions ([) doubled, control characters left out.
static std::string Script_Quoted(const std::string &text)
{
    std::string out = "\"";
    for (char c : text) {
        if ((unsigned char)c < 0x20 || c == 0x7F)
            continue;
        if (c == '"' || c == '\\')
            out += '\\';
        else if (c == '[' || c == '{')
            out += c;
        out += c;
    }
    return out + "\"";
}

static std::string Script_File(const RenPyPlan *plan, int image)
{
    return "\"" + plan->images[image].file + "\"";
}

static std::string Script_Pos(const RenPyPlan *plan, int image)
{
    const RenPyImage &i = plan->images[image];
    return "pos (" + std::to_string(i.pos.x) + ", " + std::to_string(i.pos.y) + ")";
}

static std::string Script_Image(const RenPyPlan *plan, int image)
{
    if (image < 0)
        return "null";
    return Script_File(plan, image) + " " + Script_Pos(plan, image);
}

// The name of the animated image of one expression ("yuna_eyes_sumashi").
static std::string Script_AnimationName(const RenPyNames *names, const RenPyLayer &layer, size_t v)
{
    return names->tag + "_" + layer.group + "_" + names->expressions[v];
}

static bool Script_Animates(const RenPyLayer &layer, size_t v)
{
    return layer.frame != RENPY_STILL && v < layer.frameImage.size() && layer.frameImage[v] >= 0;
}

// What one attribute of a layer shows.
static std::string Script_Shown(const RenPyPlan *plan, const RenPyNames *names, const RenPyLayer &layer, size_t v,
                                bool still)
{
    int image = layer.variantImage[v];
    if (image < 0 || still || !Script_Animates(layer, v))
        return Script_Image(plan, image);
    std::string animation = "\"" + Script_AnimationName(names, layer, v) + "\"";
    if (layer.frame == RENPY_TALK)
        return "vor_WhileSpeaking(\"" + names->tag + "\", " + animation + ", " + Script_File(plan, image) + ") " +
               Script_Pos(plan, image);
    return animation + " " + Script_Pos(plan, image);
}

// A group; `blink` 1 for the blinking eyes (held by `noblink`), 2 for the
// same eyes held still while `noblink` is shown.
static void Script_Group(std::string &text, const RenPyPlan *plan, const RenPyNames *names, const RenPyLayer &layer,
                         int blink = 0)
{
    text += "    group " + layer.group + (blink == 2 ? "_still" : "") + ":\n";
    const std::vector<std::string> &attributes = layer.kind == RENPY_STYLE ? names->styles : names->expressions;
    const int defaultVariant = layer.kind == RENPY_STYLE ? 0 : names->defaultExpression;
    for (size_t v = 0; v < attributes.size(); v++) {
        text += "        attribute " + attributes[v];
        if ((int)v == defaultVariant)
            text += " default";
        if (layer.kind == RENPY_BOTH)
            text += " if_all \"" + names->styles[layer.style] + "\"";
        bool animates = Script_Animates(layer, v);
        if (blink == 1 && animates)
            text += std::string(" if_not \"") + NO_BLINK + "\"";
        if (blink == 2 && animates)
            text += std::string(" if_all \"") + NO_BLINK + "\"";
        std::string shown = blink == 2 && !animates ? "null" : Script_Shown(plan, names, layer, v, blink == 2);
        text += " " + shown + "\n";
    }
}

// The ATL of every animated expression of a layer.
static void Script_Animations(std::string &text, const RenPyPlan *plan, const RenPyNames *names,
                              const RenPyLayer &layer)
{
    for (size_t v = 0; v < layer.variantImage.size(); v++) {
        if (!Script_Animates(layer, v))
            continue;
        text += "image " + Script_AnimationName(names, layer, v) + ":\n";
        std::string still = Script_File(plan, layer.variantImage[v]), frame = Script_File(plan, layer.frameImage[v]);
        if (layer.frame == RENPY_BLINK) {
            text += "    " + still + "\n";
            for (const char *wait : BLINK_WAITS)
                text += std::string("    choice:\n        ") + wait + "\n";
            text += "    " + frame + "\n    " + BLINK_SHUT + "\n    repeat\n\n";
        } else {
            text += "    " + frame + "\n    " + TALK_STEP + "\n    " + still + "\n    " + TALK_STEP + "\n    repeat\n\n";
        }
    }
}

// The expressions a kind of animation shows in.
static std::string Script_AnimatedIn(const RenPyPlan *plan, const RenPyNames *names, int frame)
{
    std::vector<std::string> shown;
    for (const RenPyLayer &layer : plan->layers)
        if (layer.frame == frame)
            for (size_t v = 0; v < layer.variantImage.size(); v++)
                if (Script_Animates(layer, v))
                    shown.push_back(names->expressions[v]);
    return Joined(shown);
}

// The side image's crop and zoom: no taller than the default say screen's
// text box.
static std::string Script_SideTransform(const RenPyPlan *plan)
{
    const Rect &r = plan->side;
    int w = r.right - r.left, h = r.bottom - r.top;
    std::string text = "Transform(crop=(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
                       std::to_string(w) + ", " + std::to_string(h) + ")";
    if (h > RENPY_SIDE_HEIGHT) {
        char zoom[32];
        snprintf(zoom, sizeof zoom, "%.4f", (double)RENPY_SIDE_HEIGHT / h);
        text += std::string(", zoom=") + zoom;
    }
    return text + ")";
}

static const char LIP_FLAP[] =
    "init -10 python:\n"
    "    # Whose line is being shown: the Character callback of each exported\n"
    "    # character notes it, and its mouth moves while it is its own.\n"
    "    vor_speaking = None\n"
    "\n"
    "    def vor_speaker_callback(name, event, interact=True, **kwargs):\n"
    "        if not interact:\n"
    "            return\n"
    "        if event == \"show\":\n"
    "            store.vor_speaking = name\n"
    "        elif event in (\"slow_done\", \"end\"):\n"
    "            store.vor_speaking = None\n"
    "\n"
    "    vor_speaker = renpy.curry(vor_speaker_callback)\n"
    "\n"
    "    def vor_while_speaking(name, speaking, still, st, at):\n"
    "        if store.vor_speaking == name:\n"
    "            return speaking, 0.05\n"
    "        return still, None\n"
    "\n"
    "    def vor_WhileSpeaking(name, speaking, still):\n"
    "        return DynamicDisplayable(renpy.curry(vor_while_speaking)(name, speaking, still))\n";

static void Script_Header(std::string &text, const RenPyPlan *plan, const RenPyNames *names)
{
    const std::string &tag = names->tag;
    const std::string &expression = names->expressions[names->defaultExpression];
    text += "# " + tag + ": a character exported by VOR as a Ren'Py layered image.\n";
    text += "#\n";
    text += "# Copy this file and the images folder beside it into your game's game/\n";
    text += "# folder, then show the character with an expression and a dress style:\n";
    text += "#\n";
    text += "#     show " + tag + " " + expression + " " + names->styles[0] + "\n";
    text += "#\n";
    text += "# Expressions: " + Joined(names->expressions) + " (default " + expression + ")\n";
    text += "# Dress styles: " + Joined(names->styles) + " (default " + names->styles[0] + ")\n";
    text += "#\n";
    text += "# Each expression attribute and the face VOR shows for it:\n";
    size_t width = 0;
    for (const std::string &e : names->expressions)
        width = e.size() > width ? e.size() : width;
    for (size_t i = 0; i < names->expressions.size(); i++)
        text += "#     " + names->expressions[i] + std::string(width - names->expressions[i].size() + 2, ' ') +
                (i < names->labels.size() ? names->labels[i] : "") + "\n";
    if (names->defineCharacter) {
        text += "#\n";
        text += "# " + tag + " speaks as " + Script_Quoted(names->speaker) + " (the define below), with the head\n";
        text += "# and shoulders as the side image of the say screen. The smallest script:\n";
        text += "#\n";
        text += "#     label start:\n";
        text += "#         show " + tag + "\n";
        // The program's texts are CP949; the script is UTF-8.
        text += "#         " + tag + " " + Cp949_ToUtf8("\"안녕하세요.\"") + "\n";
        text += "#         return\n";
    }
    std::string blinking = Script_AnimatedIn(plan, names, RENPY_BLINK), talking = Script_AnimatedIn(plan, names, RENPY_TALK);
    if (!blinking.empty()) {
        text += "#\n";
        text += "# The eyes blink in: " + blinking + ".\n";
        text += std::string("# To hold them open: show ") + tag + " " + NO_BLINK + " (show " + tag + " -" + NO_BLINK +
                " blinks again).\n";
    }
    if (!talking.empty()) {
        text += "#\n";
        text += "# The mouth moves while " + tag + "'s line is shown, in: " + talking + ".\n";
        if (!names->defineCharacter)
            text += "# Give your own Character callback=vor_speaker(\"" + tag + "\") for it.\n";
    }
    text += "\n";
}

std::string RenPy_Script(const RenPyPlan *plan, const RenPyNames *names, int width, int height)
{
    const std::string &tag = names->tag;
    std::string text;
    Script_Header(text, plan, names);
    text += LIP_FLAP;
    text += "\n";
    if (names->defineCharacter)
        text += "define " + tag + " = Character(" + Script_Quoted(names->speaker) + ", image=\"" + tag +
                "\", callback=vor_speaker(\"" + tag + "\"))\n\n";
    if (plan->side.right > plan->side.left)
        text += "image side " + tag + " = LayeredImageProxy(\"" + tag + "\", " + Script_SideTransform(plan) + ")\n\n";
    for (const RenPyLayer &layer : plan->layers)
        Script_Animations(text, plan, names, layer);
    text += "layeredimage " + tag + ":\n\n";
    text += "    # The whole picture's size, so that the character stands where its\n";
    text += "    # exported PNG would.\n";
    text += "    always Null(" + std::to_string(width) + ", " + std::to_string(height) + ")\n";
    bool blinks = false;
    for (const RenPyLayer &layer : plan->layers) {
        text += "\n";
        if (layer.kind == RENPY_ALWAYS) {
            text += "    always " + Script_Image(plan, layer.variantImage[0]) + "\n";
        } else if (layer.frame == RENPY_BLINK) {
            Script_Group(text, plan, names, layer, 1);
            text += "\n";
            Script_Group(text, plan, names, layer, 2);
            blinks = true;
        } else {
            Script_Group(text, plan, names, layer);
        }
    }
    if (blinks)
        text += std::string("\n    # Shown, it holds the eyes open.\n    attribute ") + NO_BLINK + " null\n";
    return text;
}
