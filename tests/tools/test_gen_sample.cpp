// The sample generator's rasteriser: coverage of filled and stroked shapes,
// the union of figures, clipping, erasing and straight-alpha compositing.
// The generator's sources are compiled into this test directly.
#include <doctest.h>

#include <cmath>
#include <cstring>

#include "tools/gen-sample/paint.cpp"
#include "tools/gen-sample/path.cpp"
#include "tools/gen-sample/raster.cpp"

namespace {

struct Surface {
    DIB *image;
    Raster *raster;
    Surface(int w = 120, int h = 100)
    {
        image = DIB_Create(32, w, h);
        raster = Raster_Create(image);
    }
    ~Surface()
    {
        Raster_Free(raster);
        DIB_Delete_(image);
    }
    const unsigned char *At(int x, int y) const { return DIB_RowTD(image, y) + 4 * x; }
    int Alpha(int x, int y) const { return At(x, y)[3]; }
    double Coverage() const
    {
        double sum = 0;
        for (int y = 0; y < image->height; y++)
            for (int x = 0; x < image->width; x++)
                sum += Alpha(x, y) / 255.0;
        return sum;
    }
};

void Rect_Path(Path *p, float x0, float y0, float x1, float y1)
{
    Path_Clear(p);
    Path_MoveTo(p, x0, y0);
    Path_LineTo(p, x1, y0);
    Path_LineTo(p, x1, y1);
    Path_LineTo(p, x0, y1);
}

} // namespace

TEST_CASE("a filled rectangle covers its inside fully and its edge pixels by their share")
{
    Surface s;
    Path p;
    Rect_Path(&p, 10.25f, 20.5f, 30.75f, 40.0f);
    Raster_Fill(s.raster, &p, Paint_Solid(Rgb(255, 0, 0)));
    CHECK(s.Alpha(20, 30) == 255);
    CHECK(s.At(20, 30)[2] == 255);
    CHECK(s.At(20, 30)[0] == 0);
    // Horizontal edges are exact; vertical ones are sampled by sub-scanlines.
    CHECK(s.Alpha(10, 30) == doctest::Approx(0.75 * 255).epsilon(0.02));
    CHECK(s.Alpha(30, 30) == doctest::Approx(0.75 * 255).epsilon(0.02));
    CHECK(s.Alpha(20, 20) == doctest::Approx(0.5 * 255).epsilon(0.25));
    CHECK(s.Alpha(9, 30) == 0);
    CHECK(s.Alpha(31, 30) == 0);
    CHECK(s.Alpha(20, 40) == 0);
    CHECK(s.Alpha(20, 19) == 0);
    CHECK(s.Coverage() == doctest::Approx(20.5 * 19.5).epsilon(0.01));
}

TEST_CASE("ellipses and curves cover their true area")
{
    Surface s(200, 200);
    Path p;
    Path_Clear(&p);
    Path_Ellipse(&p, 100, 100, 40, 40);
    Raster_Fill(s.raster, &p, Paint_Solid(Grey(128)));
    CHECK(s.Coverage() == doctest::Approx(3.14159265 * 40 * 40).epsilon(0.005));

    // A quadratic arch over a base line: area 2/3 of base times height.
    Surface q(200, 200);
    Path_Clear(&p);
    Path_MoveTo(&p, 20, 150);
    Path_QuadTo(&p, 100, 50, 180, 150);
    Raster_Fill(q.raster, &p, Paint_Solid(Grey(128)));
    CHECK(q.Coverage() == doctest::Approx(2.0 / 3.0 * 160 * 50).epsilon(0.01));
}

TEST_CASE("figures of one path unite whatever their direction")
{
    // A shape and its mirror image run in opposite directions; where they
    // overlap, a plain winding count would cancel to a hole.
    Surface s;
    Path left, both;
    Rect_Path(&left, 20, 20, 70, 80);
    Path_Clear(&both);
    Path_AppendMirrored(&both, &left, 55);
    for (int i = 0; i < left.count; i++)
        (i == 0 ? Path_MoveTo : Path_LineTo)(&both, left.pts[i].x, left.pts[i].y);
    REQUIRE(both.figureCount == 2);
    Raster_Fill(s.raster, &both, Paint_Solid(Grey(200)));
    CHECK(s.Alpha(55, 50) == 255);
    CHECK(s.Alpha(25, 50) == 255);
    CHECK(s.Alpha(85, 50) == 255);
    CHECK(s.Coverage() == doctest::Approx(70.0 * 60).epsilon(0.01));
}

TEST_CASE("a mirrored half becomes one seamless figure")
{
    Surface s;
    Path p;
    Path_Clear(&p);
    Path_MoveTo(&p, 60, 10);
    Path_LineTo(&p, 20, 50);
    Path_LineTo(&p, 60, 90);
    Path_MirrorClose(&p, 60);
    CHECK(p.figureCount == 1);
    CHECK(p.count == 4);
    Raster_Fill(s.raster, &p, Paint_Solid(Grey(90)));
    // No half-covered column along the axis.
    for (int y = 30; y < 70; y += 5)
        CHECK(s.Alpha(60, y) == 255);
}

TEST_CASE("strokes have their width, round ends and a taper")
{
    Surface s;
    Path p;
    Path_Clear(&p);
    Path_MoveTo(&p, 20, 50);
    Path_LineTo(&p, 80, 50);
    Raster_Line(s.raster, &p, Paint_Solid(Grey(0)), 6);
    for (int y = 47; y <= 52; y++)
        CHECK(s.Alpha(50, y) == 255);
    CHECK(s.Alpha(50, 45) == 0);
    CHECK(s.Alpha(50, 54) == 0);
    CHECK(s.Alpha(81, 50) == 255);  // round end: 1.5 past the end point
    CHECK(s.Alpha(84, 50) == 0);

    Surface t;
    Path_Clear(&p);
    Path_MoveTo(&p, 10, 50);
    Path_LineTo(&p, 110, 50);
    Raster_Stroke(t.raster, &p, Paint_Solid(Grey(0)), 1, 9, 1);
    int thinEnd = 0, middle = 0;
    for (int y = 0; y < 100; y++) {
        thinEnd += t.Alpha(14, y);
        middle += t.Alpha(60, y);
    }
    CHECK(middle == doctest::Approx(9 * 255).epsilon(0.03));
    CHECK(thinEnd < middle / 3);
}

TEST_CASE("the clip keeps drawing inside or outside a shape and only narrows")
{
    Surface s;
    Path box, circle;
    Rect_Path(&box, 0, 0, 120, 100);
    Path_Clear(&circle);
    Path_Ellipse(&circle, 60, 50, 20, 20);
    Raster_ClipPath(s.raster, &circle);
    Raster_Fill(s.raster, &box, Paint_Solid(Grey(255)));
    CHECK(s.Alpha(60, 50) == 255);
    CHECK(s.Alpha(10, 10) == 0);
    CHECK(s.Coverage() == doctest::Approx(3.14159265 * 400).epsilon(0.01));

    // Clip to what is drawn, then narrow by the outside of a smaller circle:
    // a ring.
    Surface r;
    Raster_Fill(r.raster, &circle, Paint_Solid(Grey(10)));
    Raster_ClipAlpha(r.raster, r.image);
    Path inner;
    Path_Clear(&inner);
    Path_Ellipse(&inner, 60, 50, 10, 10);
    Raster_ClipOutside(r.raster, &inner);
    Raster_Fill(r.raster, &box, Paint_Solid(Grey(250)));
    Raster_NoClip(r.raster);
    CHECK(r.At(60, 50)[0] == 10);
    CHECK(r.At(75, 50)[0] == 250);
    CHECK(r.Alpha(10, 10) == 0);
}

TEST_CASE("colours land with straight-alpha over, and erasing clears")
{
    Surface s;
    Path left, right, all;
    Rect_Path(&left, 0, 0, 60, 100);
    Rect_Path(&right, 60, 0, 120, 100);
    Rect_Path(&all, 0, 0, 120, 100);
    Raster_Fill(s.raster, &left, Paint_Solid(Rgb(0, 0, 255)));
    Raster_Fill(s.raster, &all, Paint_Solid(Rgb(255, 0, 0, 128)));
    // Over opaque blue: a mix, still opaque.
    const unsigned char *mix = s.At(30, 50);
    CHECK(mix[3] == 255);
    CHECK(mix[2] == doctest::Approx(128).epsilon(0.02));
    CHECK(mix[0] == doctest::Approx(127).epsilon(0.02));
    // Over nothing: the colour itself, not darkened, at half alpha.
    const unsigned char *alone = s.At(90, 50);
    CHECK(alone[2] == 255);
    CHECK(alone[0] == 0);
    CHECK(alone[3] == 128);

    Raster_Erase(s.raster, &right);
    CHECK(s.Alpha(90, 50) == 0);
    CHECK(s.At(90, 50)[2] == 0);
    CHECK(s.Alpha(30, 50) == 255);

    DIB *mask = DIB_Create(32, 120, 100);
    REQUIRE(mask);
    Raster_SetTarget(s.raster, mask);
    Raster_Fill(s.raster, &left, Paint_Solid(Rgb(0, 0, 0, 255)));
    Raster_SetTarget(s.raster, s.image);
    Raster_EraseByAlpha(s.raster, mask);
    CHECK(s.Coverage() == 0);
    DIB_Delete_(mask);
}

TEST_CASE("gradients run between their end points and stay constant beyond")
{
    Paint linear = Paint_Linear(10, 0, Grey(0), 110, 0, Grey(200));
    CHECK(linear.shade(&linear, 0, 5).r == 0);
    CHECK(linear.shade(&linear, 60, 5).r == 100);
    CHECK(linear.shade(&linear, 500, 5).r == 200);
    Paint radial = Paint_Radial(50, 50, 10, Rgb(255, 0, 0, 255), Rgb(255, 0, 0, 0));
    CHECK(radial.shade(&radial, 50, 50).a == 255);
    CHECK(radial.shade(&radial, 55, 50).a == 128);
    CHECK(radial.shade(&radial, 90, 90).a == 0);
}

TEST_CASE("a path past its capacity drops shapes instead of joining them")
{
    Surface s(400, 100);
    Path *p = new Path;
    Path_Clear(p);
    // More small dots than a path holds figures, spread along a line: the
    // ones that do not fit must not be joined to the last one that did.
    for (int i = 0; i < PATH_MAX_FIGURES + 40; i++)
        Path_Ellipse(p, 5 + (i % 2) * 390, 10 + (i / 2) % 80, 2, 2);
    CHECK(p->figureCount == PATH_MAX_FIGURES);
    Raster_Fill(s.raster, p, Paint_Solid(Grey(0)));
    for (int x = 20; x < 380; x += 10)
        for (int y = 0; y < 100; y += 3)
            CHECK(s.Alpha(x, y) == 0);
    delete p;
}

TEST_CASE("shapes outside the image or degenerate draw nothing and do not crash")
{
    Surface s;
    Path p;
    Rect_Path(&p, -50, -50, -10, -10);
    Raster_Fill(s.raster, &p, Paint_Solid(Grey(0)));
    Rect_Path(&p, 500, 500, 900, 900);
    Raster_Fill(s.raster, &p, Paint_Solid(Grey(0)));
    Path_Clear(&p);
    Path_MoveTo(&p, 10, 10);
    Path_LineTo(&p, 50, 10); // a flat figure: no area
    Raster_Fill(s.raster, &p, Paint_Solid(Grey(0)));
    Path_Clear(&p);
    Path_MoveTo(&p, 30, 30); // a stroke of one point is a dot
    Raster_Line(s.raster, &p, Paint_Solid(Grey(0)), 4);
    Rect_Path(&p, -1000, 40, 1000, 42);  // far beyond both sides
    Raster_Fill(s.raster, &p, Paint_Solid(Grey(0)));
    CHECK(s.Alpha(30, 30) == 255);
    CHECK(s.Alpha(0, 41) == 255);
    CHECK(s.Alpha(119, 41) == 255);
    CHECK(s.Alpha(30, 10) == 0);
}
