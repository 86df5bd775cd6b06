// The Ren'Py export's script: one layeredimage statement over the planned
// layers, opened by a comment that says how to use it.
#include "output/renpy_export.h"

static std::string Joined(const std::vector<std::string> &words)
{
    std::string text;
    for (const std::string &w : words)
        text += (text.empty() ? "" : " ") + w;
    return text;
}

static std::string Script_Image(const RenPyPlan *plan, int image)
{
    if (image < 0)
        return "null";
    const RenPyImage &i = plan->images[image];
    return "\"" + i.file + "\" pos (" + std::to_string(i.pos.x) + ", " + std::to_string(i.pos.y) + ")";
}

static void Script_Group(std::string &text, const RenPyPlan *plan, const RenPyNames *names, const RenPyLayer &layer)
{
    text += "    group " + layer.group + ":\n";
    const std::vector<std::string> &attributes = layer.kind == RENPY_STYLE ? names->styles : names->expressions;
    const int defaultVariant = layer.kind == RENPY_STYLE ? 0 : names->defaultExpression;
    for (size_t v = 0; v < attributes.size(); v++) {
        text += "        attribute " + attributes[v];
        if ((int)v == defaultVariant)
            text += " default";
        if (layer.kind == RENPY_BOTH)
            text += " if_all \"" + names->styles[layer.style] + "\"";
        text += " " + Script_Image(plan, layer.variantImage[v]) + "\n";
    }
}

std::string RenPy_Script(const RenPyPlan *plan, const RenPyNames *names, int width, int height)
{
    const std::string &tag = names->tag;
    const std::string &expression = names->expressions[names->defaultExpression];
    std::string text;
    text += "# " + tag + ": a character exported by VOR as a Ren'Py layered image.\n";
    text += "#\n";
    text += "# Copy this file and the images folder beside it into your game's game/\n";
    text += "# folder, then show the character with an expression and a dress style:\n";
    text += "#\n";
    text += "#     show " + tag + " " + expression + " " + names->styles[0] + "\n";
    text += "#\n";
    text += "# Expressions: " + Joined(names->expressions) + " (default " + expression + ")\n";
    text += "# Dress styles: " + Joined(names->styles) + " (default " + names->styles[0] + ")\n";
    text += "\n";
    text += "layeredimage " + tag + ":\n\n";
    text += "    # The whole picture's size, so that the character stands where its\n";
    text += "    # exported PNG would.\n";
    text += "    always Null(" + std::to_string(width) + ", " + std::to_string(height) + ")\n";
    for (const RenPyLayer &layer : plan->layers) {
        text += "\n";
        if (layer.kind == RENPY_ALWAYS)
            text += "    always " + Script_Image(plan, layer.variantImage[0]) + "\n";
        else
            Script_Group(text, plan, names, layer);
    }
    return text;
}
