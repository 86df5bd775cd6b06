// The drawing surface: coverage of one shape at a time, then one pass that
// paints the covered pixels through the clip onto the target image.
//
// Fills sample each pixel row at SUBSCANLINES heights; on each of them the
// spans between edge crossings add their exact horizontal overlap with every
// pixel, so vertical edges are smooth as well as horizontal ones. Strokes
// take the distance from each pixel centre to the nearest segment, which
// gives round ends and round joins for free.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/gen-sample/raster.h"

enum { SUBSCANLINES = 5 };

struct Edge {
    float x0, y0, y1; // y0 < y1
    float dxdy;
    int dir;          // +1 downwards, -1 upwards
};

struct Crossing {
    float x;
    int dir;
};

static void Cover_ResetBounds(Raster *r)
{
    r->minX = r->width;
    r->minY = r->height;
    r->maxX = -1;
    r->maxY = -1;
}

Raster *Raster_Create(DIB *image)
{
    Raster *r = (Raster *)calloc(1, sizeof(Raster));
    if (!r)
        return nullptr;
    r->image = image;
    r->width = image->width;
    r->height = image->height;
    r->cover = (float *)calloc((size_t)r->width * r->height, sizeof(float));
    r->row = (float *)calloc((size_t)r->width + 2, sizeof(float));
    if (!r->cover || !r->row) {
        Raster_Free(r);
        return nullptr;
    }
    Cover_ResetBounds(r);
    return r;
}

void Raster_Free(Raster *r)
{
    if (!r)
        return;
    free(r->cover);
    free(r->row);
    free(r->clip);
    free(r);
}

void Raster_SetTarget(Raster *r, DIB *image)
{
    r->image = image;
}

static void Cover_Include(Raster *r, int x0, int y0, int x1, int y1)
{
    r->minX = std::min(r->minX, std::max(x0, 0));
    r->minY = std::min(r->minY, std::max(y0, 0));
    r->maxX = std::max(r->maxX, std::min(x1, r->width - 1));
    r->maxY = std::max(r->maxY, std::min(y1, r->height - 1));
}

// Adds the span [xa, xb) with weight w to the row sums.
static void Row_AddSpan(float *row, int width, float xa, float xb, float w)
{
    if (xa < 0)
        xa = 0;
    if (xb > (float)width)
        xb = (float)width;
    if (xb <= xa)
        return;
    int ia = (int)xa, ib = (int)xb;
    if (ia == ib) {
        row[ia] += (xb - xa) * w;
        return;
    }
    row[ia] += ((float)(ia + 1) - xa) * w;
    for (int i = ia + 1; i < ib; i++)
        row[i] += w;
    if (ib < width)
        row[ib] += (xb - (float)ib) * w;
}

// Coverage of one closed polygon by the non-zero rule, merged into the cover
// by taking the larger value, so figures unite instead of cancelling.
static void Cover_Figure(Raster *r, const Pt *pts, int n)
{
    if (n < 3)
        return;
    std::vector<Edge> edges;
    edges.reserve(n);
    float minX = pts[0].x, maxX = pts[0].x, minY = pts[0].y, maxY = pts[0].y;
    for (int i = 0; i < n; i++) {
        Pt a = pts[i], b = pts[(i + 1) % n];
        minX = std::min(minX, a.x);
        maxX = std::max(maxX, a.x);
        minY = std::min(minY, a.y);
        maxY = std::max(maxY, a.y);
        if (a.y == b.y)
            continue;
        Edge e;
        if (a.y < b.y)
            e = Edge{a.x, a.y, b.y, (b.x - a.x) / (b.y - a.y), 1};
        else
            e = Edge{b.x, b.y, a.y, (a.x - b.x) / (a.y - b.y), -1};
        edges.push_back(e);
    }
    int x0 = std::max(0, (int)std::floor(minX)), x1 = std::min(r->width - 1, (int)std::floor(maxX));
    int y0 = std::max(0, (int)std::floor(minY)), y1 = std::min(r->height - 1, (int)std::floor(maxY));
    if (x0 > x1 || y0 > y1 || edges.empty())
        return;
    std::sort(edges.begin(), edges.end(), [](const Edge &a, const Edge &b) { return a.y0 < b.y0; });
    Cover_Include(r, x0, y0, x1, y1);

    std::vector<const Edge *> active;
    std::vector<Crossing> crossings;
    size_t next = 0;
    const float weight = 1.0f / SUBSCANLINES;
    float *row = r->row;
    for (int py = y0; py <= y1; py++) {
        memset(row + x0, 0, sizeof(float) * (size_t)(x1 - x0 + 2));
        for (int k = 0; k < SUBSCANLINES; k++) {
            float sy = (float)py + (k + 0.5f) * weight;
            while (next < edges.size() && edges[next].y0 <= sy)
                active.push_back(&edges[next++]);
            active.erase(std::remove_if(active.begin(), active.end(), [sy](const Edge *e) { return e->y1 <= sy; }),
                         active.end());
            crossings.clear();
            for (const Edge *e : active)
                crossings.push_back(Crossing{e->x0 + (sy - e->y0) * e->dxdy, e->dir});
            std::sort(crossings.begin(), crossings.end(),
                      [](const Crossing &a, const Crossing &b) { return a.x < b.x; });
            int winding = 0;
            float start = 0;
            for (const Crossing &c : crossings) {
                int before = winding;
                winding += c.dir;
                if (before == 0 && winding != 0)
                    start = c.x;
                else if (before != 0 && winding == 0)
                    Row_AddSpan(row, r->width, start, c.x, weight);
            }
        }
        float *cover = r->cover + (size_t)py * r->width;
        for (int x = x0; x <= x1 + 1 && x < r->width; x++)
            if (row[x] > cover[x])
                cover[x] = row[x] > 1 ? 1 : row[x];
    }
}

static void Cover_Path(Raster *r, const Path *p)
{
    for (int f = 0; f < p->figureCount; f++) {
        int first = p->figureStart[f];
        int end = f + 1 < p->figureCount ? p->figureStart[f + 1] : p->count;
        Cover_Figure(r, p->pts + first, end - first);
    }
}

static float WidthAt(float s, float w0, float w1, float w2)
{
    return s < 0.5f ? w0 + (w1 - w0) * (s * 2) : w1 + (w2 - w1) * ((s - 0.5f) * 2);
}

static void Cover_Segment(Raster *r, Pt a, Pt b, float sa, float sb, float w0, float w1, float w2)
{
    float reach = std::max(w0, std::max(w1, w2)) * 0.5f + 1.5f;
    int x0 = (int)std::floor(std::min(a.x, b.x) - reach), x1 = (int)std::ceil(std::max(a.x, b.x) + reach);
    int y0 = (int)std::floor(std::min(a.y, b.y) - reach), y1 = (int)std::ceil(std::max(a.y, b.y) + reach);
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, r->width - 1);
    y1 = std::min(y1, r->height - 1);
    if (x0 > x1 || y0 > y1)
        return;
    Cover_Include(r, x0, y0, x1, y1);
    float dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    for (int y = y0; y <= y1; y++) {
        float *cover = r->cover + (size_t)y * r->width;
        float py = y + 0.5f;
        for (int x = x0; x <= x1; x++) {
            float px = x + 0.5f;
            float t = len2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / len2 : 0;
            t = t < 0 ? 0 : (t > 1 ? 1 : t);
            float ex = a.x + t * dx - px, ey = a.y + t * dy - py;
            float d = std::sqrt(ex * ex + ey * ey);
            float half = WidthAt(sa + t * (sb - sa), w0, w1, w2) * 0.5f;
            float c = half + 0.5f - d;
            if (c <= 0)
                continue;
            if (c > 1)
                c = 1;
            if (half < 0.5f)
                c *= half * 2;
            if (c > cover[x])
                cover[x] = c;
        }
    }
}

static void Cover_Stroke(Raster *r, const Path *p, float w0, float w1, float w2)
{
    for (int f = 0; f < p->figureCount; f++) {
        int first = p->figureStart[f];
        int end = f + 1 < p->figureCount ? p->figureStart[f + 1] : p->count;
        int n = end - first;
        if (n <= 0)
            continue;
        int segments = p->figureClosed[f] ? n : n - 1;
        float total = 0;
        for (int i = 0; i < segments; i++) {
            Pt a = p->pts[first + i], b = p->pts[first + (i + 1) % n];
            total += std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
        }
        if (segments == 0) {
            Cover_Segment(r, p->pts[first], p->pts[first], 0, 0, w0, w1, w2);
            continue;
        }
        float along = 0;
        for (int i = 0; i < segments; i++) {
            Pt a = p->pts[first + i], b = p->pts[first + (i + 1) % n];
            float len = std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
            float sa = total > 0 ? along / total : 0, sb = total > 0 ? (along + len) / total : 0;
            Cover_Segment(r, a, b, sa, sb, w0, w1, w2);
            along += len;
        }
    }
}

static uint8_t ToByte(float v)
{
    v += 0.5f;
    return v <= 0 ? 0 : (v >= 255 ? 255 : (uint8_t)v);
}

// Paints the covered pixels (times the clip) and clears the cover.
static void Cover_Compose(Raster *r, const Paint *paint, int erase)
{
    for (int y = r->minY; y <= r->maxY; y++) {
        float *cover = r->cover + (size_t)y * r->width;
        const float *clip = r->clip ? r->clip + (size_t)y * r->width : nullptr;
        unsigned char *px = DIB_RowTD(r->image, y) + 4 * r->minX;
        for (int x = r->minX; x <= r->maxX; x++, px += 4) {
            float c = cover[x];
            if (c <= 0)
                continue;
            cover[x] = 0;
            if (clip)
                c *= clip[x];
            if (c <= 0)
                continue;
            if (erase) {
                px[3] = ToByte(px[3] * (1 - c));
                if (px[3] == 0)
                    px[0] = px[1] = px[2] = 0;
                continue;
            }
            Rgba colour = paint->shade ? paint->shade(paint, x + 0.5f, y + 0.5f) : paint->from;
            float sa = c * colour.a * (1.0f / 255);
            if (sa <= 0)
                continue;
            float da = px[3] * (1.0f / 255);
            float keep = da * (1 - sa);
            float oa = sa + keep;
            px[0] = ToByte((colour.b * sa + px[0] * keep) / oa);
            px[1] = ToByte((colour.g * sa + px[1] * keep) / oa);
            px[2] = ToByte((colour.r * sa + px[2] * keep) / oa);
            px[3] = ToByte(oa * 255);
        }
    }
    Cover_ResetBounds(r);
}

void Raster_Fill(Raster *r, const Path *p, const Paint &paint)
{
    Cover_Path(r, p);
    Cover_Compose(r, &paint, 0);
}

void Raster_Stroke(Raster *r, const Path *p, const Paint &paint, float w0, float w1, float w2)
{
    Cover_Stroke(r, p, w0, w1, w2);
    Cover_Compose(r, &paint, 0);
}

void Raster_Erase(Raster *r, const Path *p)
{
    Cover_Path(r, p);
    Cover_Compose(r, nullptr, 1);
}

void Raster_EraseByAlpha(Raster *r, const DIB *mask)
{
    for (int y = 0; y < r->height; y++) {
        unsigned char *px = DIB_RowTD(r->image, y);
        const unsigned char *m = DIB_RowTD(mask, y);
        for (int x = 0; x < r->width; x++, px += 4, m += 4) {
            if (m[3] == 0 || px[3] == 0)
                continue;
            px[3] = ToByte(px[3] * (1 - m[3] * (1.0f / 255)));
            if (px[3] == 0)
                px[0] = px[1] = px[2] = 0;
        }
    }
}

// The clip buffer, created full (all 1) on first use.
static float *Clip_Get(Raster *r)
{
    if (!r->clip) {
        size_t n = (size_t)r->width * r->height;
        r->clip = (float *)malloc(n * sizeof(float));
        if (!r->clip)
            return nullptr;
        for (size_t i = 0; i < n; i++)
            r->clip[i] = 1;
    }
    return r->clip;
}

void Raster_ClipPath(Raster *r, const Path *p)
{
    float *clip = Clip_Get(r);
    Cover_Path(r, p);
    size_t n = (size_t)r->width * r->height;
    for (size_t i = 0; i < n; i++) {
        if (clip)
            clip[i] *= r->cover[i];
        r->cover[i] = 0;
    }
    Cover_ResetBounds(r);
}

void Raster_ClipOutside(Raster *r, const Path *p)
{
    float *clip = Clip_Get(r);
    Cover_Path(r, p);
    for (int y = r->minY; y <= r->maxY; y++)
        for (int x = r->minX; x <= r->maxX; x++) {
            size_t i = (size_t)y * r->width + x;
            if (clip)
                clip[i] *= 1 - r->cover[i];
            r->cover[i] = 0;
        }
    Cover_ResetBounds(r);
}

void Raster_ClipAlpha(Raster *r, const DIB *mask)
{
    float *clip = Clip_Get(r);
    if (!clip)
        return;
    for (int y = 0; y < r->height; y++) {
        const unsigned char *m = DIB_RowTD(mask, y);
        for (int x = 0; x < r->width; x++)
            clip[(size_t)y * r->width + x] *= m[4 * x + 3] * (1.0f / 255);
    }
}

void Raster_NoClip(Raster *r)
{
    free(r->clip);
    r->clip = nullptr;
}
