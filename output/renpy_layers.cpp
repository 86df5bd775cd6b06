// The Ren'Py export's layers: what each depth-list entry draws for every
// pair, the runs of the paint order, and their flattened images.
//
// A part's picture is drawn alone into a transparent image (drawing onto
// nothing copies the pixels exactly), trimmed, and kept once per distinct
// picture, so a face part keeps one image per expression and the body one
// per style. Flattening a run draws its parts' pictures over one another in
// paint order, which is what the full composition does to those layers; the
// runs meeting again in Ren'Py round once more per run.
#include <algorithm>
#include <cstring>

#include "core/util.h"
#include "editor/character.h"
#include "layers/render.h"
#include "output/renpy_export.h"

void RenPyCapture_Init(RenPyCapture *capture, int styles, int expressions)
{
    capture->styles = styles;
    capture->expressions = expressions;
    capture->width = DOCUMENT_WIDTH;
    capture->height = DOCUMENT_HEIGHT;
    capture->parts.clear();
    capture->fixedCount = 0;
    capture->broken = 0;
}

void RenPyCapture_Release(RenPyCapture *capture)
{
    for (RenPyPart &part : capture->parts)
        for (RenPyPartImage &image : part.images)
            DIB_Delete_(image.image);
    capture->parts.clear();
}

static bool SamePixels(const DIB *a, const DIB *b)
{
    if (a->width != b->width || a->height != b->height)
        return false;
    return memcmp(DIB_Bits(a), DIB_Bits(b), (size_t)DIB_BytesPerRow(a) * a->height) == 0;
}

static bool AnyAlpha(const DIB *image)
{
    for (int y = 0; y < image->height; y++) {
        const unsigned char *row = DIB_RowTD(image, y);
        for (int x = 0; x < image->width; x++)
            if (row[4 * x + 3])
                return true;
    }
    return false;
}

// The part for a depth-list entry, created on first sight: a fixed layer
// is the `fixedSeen`-th fixed part of every pair (they keep their order
// whatever a style adds; `broken` says when one did not), an accessory is
// known by its style and layer id.
static RenPyPart *Capture_Part(RenPyCapture *capture, const Layer *layer, int style, int fixedSeen, int order)
{
    bool accessory = IsAccessoryId(layer->id);
    if (!accessory && fixedSeen < capture->fixedCount) {
        if (capture->parts[fixedSeen].fixed != layer)
            capture->broken = 1;
        return &capture->parts[fixedSeen];
    }
    if (accessory)
        for (RenPyPart &part : capture->parts)
            if (!part.fixed && part.style == style && part.accessoryId == layer->id)
                return &part;
    RenPyPart part;
    part.fixed = accessory ? nullptr : layer;
    part.style = accessory ? style : -1;
    part.accessoryId = accessory ? layer->id : 0;
    part.gap = fixedSeen;
    part.order = order;
    part.variant.assign((size_t)capture->styles * capture->expressions, -1);
    if (accessory) {
        capture->parts.push_back(part);
        return &capture->parts.back();
    }
    capture->parts.insert(capture->parts.begin() + capture->fixedCount, part);
    return &capture->parts[capture->fixedCount++];
}

// Keeps the trimmed picture of `canvas` as one of the part's images (once)
// and returns its index, or -1 when nothing shows; -2 when memory ran out.
static int Capture_Keep(RenPyPart *part, const DIB *canvas)
{
    if (!AnyAlpha(canvas))
        return -1;
    Point offset = {0, 0};
    DIB *trimmed = DIB_Trim(canvas, &offset);
    if (!trimmed)
        return -2;
    for (size_t i = 0; i < part->images.size(); i++) {
        const RenPyPartImage &known = part->images[i];
        if (known.offset.x == offset.x && known.offset.y == offset.y && SamePixels(known.image, trimmed)) {
            DIB_Delete_(trimmed);
            return (int)i;
        }
    }
    part->images.push_back({trimmed, offset});
    return (int)part->images.size() - 1;
}

int RenPyCapture_Take(RenPyCapture *capture, const LayerDocument *doc, int style, int expression)
{
    if (style < 0 || style >= capture->styles || expression < 0 || expression >= capture->expressions)
        return 0;
    capture->width = doc->composed->width;
    capture->height = doc->composed->height;
    DIB *canvas = DIB_Create(32, capture->width, capture->height);
    if (!canvas)
        return 0;
    const size_t bytes = (size_t)DIB_BytesPerRow(canvas) * canvas->height;
    const int pair = style * capture->expressions + expression;
    int fixedSeen = 0, accessoriesSeen = 0, ok = 1;
    for (int i = PtrList_Count(doc->depthList) - 1; i >= 0 && ok; i--) {
        Layer *layer = (Layer *)PtrList_Get(doc->depthList, i);
        bool accessory = IsAccessoryId(layer->id);
        RenPyPart *part = Capture_Part(capture, layer, style, fixedSeen, accessoriesSeen);
        if (accessory)
            accessoriesSeen++;
        else
            fixedSeen++;
        memset(DIB_Bits(canvas), 0, bytes);
        Layer_Draw(layer, canvas);
        int kept = Capture_Keep(part, canvas);
        if (kept == -2)
            ok = 0;
        else
            part->variant[pair] = kept;
    }
    DIB_Delete_(canvas);
    return ok;
}

// ---- runs ---------------------------------------------------------------------

int RenPy_PartKind(const std::vector<int> &variant, int styles, int expressions)
{
    bool any = false, byStyle = false, byExpression = false;
    for (int s = 0; s < styles; s++)
        for (int e = 0; e < expressions; e++) {
            int v = variant[(size_t)s * expressions + e];
            any = any || v >= 0;
            // Changes along a row (with the expression) or a column (with the style).
            if (e > 0 && v != variant[(size_t)s * expressions])
                byExpression = true;
            if (s > 0 && v != variant[(size_t)e])
                byStyle = true;
        }
    if (!any)
        return RENPY_NOTHING;
    if (byStyle && byExpression)
        return RENPY_BOTH;
    return byStyle ? RENPY_STYLE : byExpression ? RENPY_EXPRESSION : RENPY_ALWAYS;
}

std::vector<RenPyRunSpan> RenPy_SplitRuns(const std::vector<int> &kinds)
{
    std::vector<RenPyRunSpan> runs;
    for (int i = 0; i < (int)kinds.size(); i++) {
        if (kinds[i] == RENPY_NOTHING)
            continue;
        if (!runs.empty() && runs.back().kind == kinds[i])
            runs.back().last = i;
        else
            runs.push_back({kinds[i], i, i});
    }
    return runs;
}

std::vector<RenPyRunSpan> RenPy_IsolateParts(const std::vector<RenPyRunSpan> &runs, const std::vector<int> &kinds,
                                             const std::vector<int> &alone)
{
    std::vector<RenPyRunSpan> out;
    auto add = [&](int kind, int first, int last) {
        for (int i = first; i <= last; i++)
            if (kinds[i] != RENPY_NOTHING) {
                out.push_back({kind, first, last});
                return;
            }
    };
    for (const RenPyRunSpan &run : runs) {
        int start = run.first;
        for (int i = run.first; i <= run.last; i++)
            if (i < (int)alone.size() && alone[i]) {
                add(run.kind, start, i - 1);
                out.push_back({run.kind, i, i});
                start = i + 1;
            }
        add(run.kind, start, run.last);
    }
    return out;
}

// ---- the plan ---------------------------------------------------------------------

// The parts in paint order: the fixed ones back to front, each accessory
// just behind the fixed part it was placed behind, those of one gap by style
// and then in their own order.
static std::vector<const RenPyPart *> Plan_PaintOrder(const RenPyCapture *capture)
{
    std::vector<const RenPyPart *> order;
    for (int gap = 0; gap <= capture->fixedCount; gap++) {
        for (int s = 0; s < capture->styles; s++) {
            std::vector<const RenPyPart *> here;
            for (const RenPyPart &part : capture->parts)
                if (!part.fixed && part.style == s && part.gap == gap)
                    here.push_back(&part);
            for (size_t a = 1; a < here.size(); a++)
                for (size_t b = a; b > 0 && here[b - 1]->order > here[b]->order; b--)
                    std::swap(here[b - 1], here[b]);
            order.insert(order.end(), here.begin(), here.end());
        }
        if (gap < capture->fixedCount)
            order.push_back(&capture->parts[gap]);
    }
    return order;
}

// Whether two parts draw onto a common pixel in any pair.
static bool Plan_Overlap(const RenPyPart *a, const RenPyPart *b, int pairs)
{
    for (int pair = 0; pair < pairs; pair++) {
        int va = a->variant[pair], vb = b->variant[pair];
        if (va < 0 || vb < 0)
            continue;
        const RenPyPartImage &ia = a->images[va], &ib = b->images[vb];
        int left = std::max(ia.offset.x, ib.offset.x), top = std::max(ia.offset.y, ib.offset.y);
        int right = std::min(ia.offset.x + ia.image->width, ib.offset.x + ib.image->width);
        int bottom = std::min(ia.offset.y + ia.image->height, ib.offset.y + ib.image->height);
        for (int y = top; y < bottom; y++) {
            const unsigned char *ra = DIB_RowTD(ia.image, y - ia.offset.y), *rb = DIB_RowTD(ib.image, y - ib.offset.y);
            for (int x = left; x < right; x++)
                if (ra[4 * (x - ia.offset.x) + 3] && rb[4 * (x - ib.offset.x) + 3])
                    return true;
        }
    }
    return false;
}

// Parts that never share a pixel may be drawn in either order with the same
// result to the bit. A part moves forward past such parts to lie just behind
// the next part of its own kind, so that the two join one run: the double
// eyelids behind the dress join the face in front of the hair, unless the
// dress or the hair covers them somewhere.
static void Plan_Gather(std::vector<const RenPyPart *> &order, std::vector<int> &kinds, int pairs)
{
    for (size_t i = 0; i + 1 < order.size(); i++) {
        if (kinds[i] == RENPY_NOTHING || kinds[i] == RENPY_ALWAYS || kinds[i + 1] == kinds[i])
            continue;
        size_t j = i + 1;
        while (j < order.size() && kinds[j] != kinds[i] &&
               (kinds[j] == RENPY_NOTHING || !Plan_Overlap(order[i], order[j], pairs)))
            j++;
        if (j == order.size() || kinds[j] != kinds[i])
            continue;
        // Into place just behind part j.
        const RenPyPart *part = order[i];
        int kind = kinds[i];
        order.erase(order.begin() + i);
        kinds.erase(kinds.begin() + i);
        order.insert(order.begin() + (j - 1), part);
        kinds.insert(kinds.begin() + (j - 1), kind);
        i--;  // the part that took its place is looked at next
    }
}

// A representative pair of variant `v` of a run of `kind`.
static int Plan_Pair(const RenPyCapture *capture, int kind, int v, int style)
{
    switch (kind) {
    case RENPY_STYLE: return v * capture->expressions;
    case RENPY_EXPRESSION: return v;
    case RENPY_BOTH: return style * capture->expressions + v;
    default: return 0;
    }
}

static std::string Plan_FileName(const RenPyNames *names, int layerNumber, int kind, int style, int v)
{
    std::string file = "images/" + names->tag + "/" + names->tag + "_" + std::to_string(layerNumber);
    if (kind == RENPY_STYLE || kind == RENPY_BOTH)
        file += "_" + names->styles[kind == RENPY_BOTH ? style : v];
    if (kind == RENPY_EXPRESSION || kind == RENPY_BOTH)
        file += "_" + names->expressions[v];
    return file + ".png";
}

// The run's parts as they draw for `pair`, over nothing, at the picture's size.
static DIB *Plan_Canvas(const RenPyCapture *capture, const std::vector<const RenPyPart *> &parts, int pair)
{
    DIB *canvas = DIB_Create(32, capture->width, capture->height);
    if (!canvas)
        return nullptr;
    for (const RenPyPart *part : parts) {
        int v = part->variant[pair];
        if (v >= 0)
            DIBA24_BltDIBA24(canvas, &part->images[v].offset, part->images[v].image);
    }
    return canvas;
}

// Flattens the run's parts as they draw for `pair` into a trimmed image.
static DIB *Plan_Flatten(const RenPyCapture *capture, const std::vector<const RenPyPart *> &parts, int pair,
                         Point *pos)
{
    DIB *canvas = Plan_Canvas(capture, parts, pair);
    if (!canvas)
        return nullptr;
    DIB *trimmed = DIB_Trim(canvas, pos);
    DIB_Delete_(canvas);
    return trimmed;
}

// Grows `box` (empty: none yet) to hold the canvas's visible pixels.
static void Plan_GrowToVisible(const DIB *canvas, Rect *box)
{
    Point at = {0, 0};
    DIB *trimmed = DIB_Trim(canvas, &at);
    if (!trimmed)
        return;
    if (trimmed->width > 0 && trimmed->height > 0) {
        Rect r = {at.x, at.y, at.x + trimmed->width, at.y + trimmed->height};
        if (box->left >= box->right) {
            *box = r;
        } else {
            box->left = std::min(box->left, r.left);
            box->top = std::min(box->top, r.top);
            box->right = std::max(box->right, r.right);
            box->bottom = std::max(box->bottom, r.bottom);
        }
    }
    DIB_Delete_(trimmed);
}

// The part of `canvas` inside `box`, as an image of its own.
static DIB *Plan_Crop(const DIB *canvas, const Rect &box)
{
    DIB *image = DIB_CreateRaw(32, box.right - box.left, box.bottom - box.top);
    if (image)
        DIB_Blt(image, nullptr, canvas, &box);
    return image;
}

// A still image and its frame (a part of a run of its own: `frame` drawn
// alone is what the run draws then), both cut to the box that holds both,
// so that an animation swaps them in one place. Returns 0 when memory ran out.
static int Plan_FramePair(const RenPyCapture *capture, const std::vector<const RenPyPart *> &parts, int pair,
                          const RenPyFrame &frame, RenPyImage *still, RenPyImage *framed)
{
    DIB *open = Plan_Canvas(capture, parts, pair), *shut = DIB_Create(32, capture->width, capture->height);
    int ok = open && shut;
    if (ok) {
        DIBA24_BltDIBA24(shut, &frame.offset, frame.image);
        Rect box = {0, 0, 0, 0};
        Plan_GrowToVisible(open, &box);
        Plan_GrowToVisible(shut, &box);
        if (box.left >= box.right)
            box = {0, 0, 1, 1};
        still->image = Plan_Crop(open, box);
        framed->image = Plan_Crop(shut, box);
        still->pos = framed->pos = {box.left, box.top};
        ok = still->image && framed->image;
    }
    if (open)
        DIB_Delete_(open);
    if (shut)
        DIB_Delete_(shut);
    return ok;
}

// The frames a part's expressions have: the eyes' blinks or the mouth's
// talking frames, or none.
static const std::vector<RenPyFrame> *Plan_FramesOf(const RenPyPart *part, const RenPyNames *names, int *frameKind)
{
    *frameKind = RENPY_STILL;
    if (!part->fixed || !names->frames)
        return nullptr;
    const std::vector<RenPyFrame> *frames = nullptr;
    if (part->fixed->id == ID_EYE) {
        frames = &names->frames->closed;
        *frameKind = RENPY_BLINK;
    } else if (part->fixed->id == ID_MOUTH) {
        frames = &names->frames->talk;
        *frameKind = RENPY_TALK;
    }
    if (frames)
        for (const RenPyFrame &f : *frames)
            if (f.image)
                return frames;
    *frameKind = RENPY_STILL;
    return nullptr;
}

// Adds one layer (or, for a run of both, the group of one style) with an
// image per variant; variants whose parts draw the same share one image.
// `frames` (an expression run of one animated part, else nullptr) adds
// each expression's frame.
static int Plan_AddLayer(RenPyPlan *plan, const RenPyCapture *capture, const RenPyNames *names,
                         const std::vector<const RenPyPart *> &parts, int kind, int style, int layerNumber,
                         const std::string &group, int frameKind = RENPY_STILL,
                         const std::vector<RenPyFrame> *frames = nullptr)
{
    int variants = kind == RENPY_ALWAYS ? 1 : kind == RENPY_STYLE ? capture->styles : capture->expressions;
    RenPyLayer layer = {kind, group, style, std::vector<int>((size_t)variants, -1), RENPY_STILL, {}};
    if (frames) {
        layer.frame = frameKind;
        layer.frameImage.assign((size_t)variants, -1);
    }
    std::vector<std::vector<int>> seen;  // the parts' image indices per variant drawn so far
    std::vector<int> seenImage;
    for (int v = 0; v < variants; v++) {
        int pair = Plan_Pair(capture, kind, v, style);
        std::vector<int> key;
        bool any = false;
        for (const RenPyPart *part : parts) {
            key.push_back(part->variant[pair]);
            any = any || part->variant[pair] >= 0;
        }
        if (!any)
            continue;
        if (frames && v < (int)frames->size() && (*frames)[v].image) {
            // Its own pair of images: the still one shares the frame's box.
            std::string file = Plan_FileName(names, layerNumber, kind, style, v);
            RenPyImage still = {nullptr, {0, 0}, file};
            RenPyImage framed = {nullptr, {0, 0},
                                 file.substr(0, file.size() - 4) + (frameKind == RENPY_BLINK ? "_blink" : "_talk") + ".png"};
            int ok = Plan_FramePair(capture, parts, pair, (*frames)[v], &still, &framed);
            if (still.image)
                plan->images.push_back(still);
            if (framed.image)
                plan->images.push_back(framed);
            if (!ok)
                return 0;
            layer.frameImage[v] = (int)plan->images.size() - 1;
            layer.variantImage[v] = (int)plan->images.size() - 2;
            continue;
        }
        size_t k = 0;
        while (k < seen.size() && seen[k] != key)
            k++;
        if (k < seen.size()) {
            layer.variantImage[v] = seenImage[k];
            continue;
        }
        RenPyImage image = {nullptr, {0, 0}, Plan_FileName(names, layerNumber, kind, style, v)};
        image.image = Plan_Flatten(capture, parts, pair, &image.pos);
        if (!image.image)
            return 0;
        plan->images.push_back(image);
        layer.variantImage[v] = (int)plan->images.size() - 1;
        seen.push_back(key);
        seenImage.push_back(layer.variantImage[v]);
    }
    plan->layers.push_back(layer);
    return 1;
}

// The head and shoulders around the eyes, brows and mouth of every pair:
// the face's box grown by these shares of its size, then cut to the
// picture. Tears and blushes stay out of the measure; they lie inside.
static const double SIDE_GROW_SIDES = 0.45, SIDE_GROW_TOP = 0.75, SIDE_GROW_BOTTOM = 0.9;

static Rect Plan_SideBox(const RenPyCapture *capture)
{
    Rect face = {0, 0, 0, 0};
    for (const RenPyPart &part : capture->parts) {
        if (!part.fixed)
            continue;
        int id = part.fixed->id, parent = part.fixed->parent ? part.fixed->parent->id : 0;
        if (id != ID_EYE && id != ID_MOUTH && parent != ID_BROW)
            continue;
        for (const RenPyPartImage &i : part.images) {
            Rect r = {i.offset.x, i.offset.y, i.offset.x + i.image->width, i.offset.y + i.image->height};
            if (face.left >= face.right) {
                face = r;
                continue;
            }
            face.left = std::min(face.left, r.left);
            face.top = std::min(face.top, r.top);
            face.right = std::max(face.right, r.right);
            face.bottom = std::max(face.bottom, r.bottom);
        }
    }
    if (face.left >= face.right)
        return face;
    int w = face.right - face.left, h = face.bottom - face.top;
    Rect side = {face.left - (int)(w * SIDE_GROW_SIDES), face.top - (int)(h * SIDE_GROW_TOP),
                 face.right + (int)(w * SIDE_GROW_SIDES), face.bottom + (int)(h * SIDE_GROW_BOTTOM)};
    side.left = std::max(side.left, 0);
    side.top = std::max(side.top, 0);
    side.right = std::min(side.right, capture->width);
    side.bottom = std::min(side.bottom, capture->height);
    return side;
}

int RenPy_Plan(const RenPyCapture *capture, const RenPyNames *names, RenPyPlan *plan)
{
    *plan = RenPyPlan();
    std::vector<const RenPyPart *> order = Plan_PaintOrder(capture);
    std::vector<int> kinds;
    for (const RenPyPart *part : order) {
        kinds.push_back(RenPy_PartKind(part->variant, capture->styles, capture->expressions));
        // Eyes that look the same in every expression still blink in
        // those that have a frame: an expression layer.
        int frameKind;
        if (kinds.back() == RENPY_ALWAYS && Plan_FramesOf(part, names, &frameKind))
            kinds.back() = RENPY_EXPRESSION;
    }
    Plan_Gather(order, kinds, capture->styles * capture->expressions);
    std::vector<int> alone;
    for (size_t i = 0; i < order.size(); i++) {
        int frameKind;
        alone.push_back(kinds[i] == RENPY_EXPRESSION && Plan_FramesOf(order[i], names, &frameKind));
    }
    int outfits = 0, faces = 0, layerNumber = 0;
    for (const RenPyRunSpan &run : RenPy_IsolateParts(RenPy_SplitRuns(kinds), kinds, alone)) {
        std::vector<const RenPyPart *> parts(order.begin() + run.first, order.begin() + run.last + 1);
        layerNumber++;
        int frameKind = RENPY_STILL;
        const std::vector<RenPyFrame> *frames = run.first == run.last && alone[run.first]
                                                    ? Plan_FramesOf(parts[0], names, &frameKind)
                                                    : nullptr;
        std::string group;
        if (frames)
            group = frameKind == RENPY_BLINK ? "eyes" : "mouth";
        else if (run.kind == RENPY_STYLE)
            group = ++outfits == 1 ? "outfit" : "outfit" + std::to_string(outfits);
        else if (run.kind != RENPY_ALWAYS)
            group = ++faces == 1 ? "face" : "face" + std::to_string(faces);
        int styles = run.kind == RENPY_BOTH ? capture->styles : 1;
        for (int s = 0; s < styles; s++) {
            std::string name = run.kind == RENPY_BOTH ? group + "_" + names->styles[s] : group;
            if (!Plan_AddLayer(plan, capture, names, parts, run.kind, s, layerNumber, name, frameKind, frames)) {
                RenPyPlan_Release(plan);
                return 0;
            }
        }
    }
    plan->side = Plan_SideBox(capture);
    // Every style and expression stays an attribute that a show statement
    // may name, even when nothing changes with it (a single style, a face
    // that is the same in every expression): a group of nulls declares it.
    if (!outfits)
        plan->layers.push_back({RENPY_STYLE, "outfit", 0, std::vector<int>((size_t)capture->styles, -1), RENPY_STILL, {}});
    if (!faces)
        plan->layers.push_back({RENPY_EXPRESSION, "face", 0, std::vector<int>((size_t)capture->expressions, -1), RENPY_STILL, {}});
    return 1;
}

void RenPyPlan_Release(RenPyPlan *plan)
{
    for (RenPyImage &image : plan->images)
        DIB_Delete_(image.image);
    plan->images.clear();
    plan->layers.clear();
}
