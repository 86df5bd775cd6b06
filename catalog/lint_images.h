// The images of a lint, decoded on every core.
//
// Decoding is almost all of a lint's time. The lint lists the images it
// will ask about, they are measured here on as many threads as the machine
// has (each into a reused work buffer, cut to its visible box), and the
// checks then read the facts in their own order, so the findings come out
// exactly as a lint on one thread gives them.
#pragma once

#include <map>
#include <string>
#include <vector>

// What the checks need to know of one image.
struct LintImageFacts {
    bool decoded;       // the program can decode it
    bool tooLarge;      // its header is over the program's part limit: never decoded
    bool png;           // it starts with the PNG signature (said when it cannot be decoded)
    int width, height;  // as the header says (decoded and too large images only)
    bool visible;       // a pixel has alpha above 0
    int colouredShare;  // PartLint_ColouredShare over its pixels
};

// Called now and then on the thread that measures, with the images done so far.
typedef void (*LintProgressFn)(void *user, int done, int total);

struct LintImages {
    std::map<std::string, LintImageFacts> facts;  // by the path the image was read from
};

// One image, decoded on the calling thread.
LintImageFacts LintImages_Measure(const std::string &path);
// Every image of `paths` on `threads` threads (0: one per processor),
// added to `images`.
void LintImages_MeasureAll(const std::vector<std::string> &paths, int threads, LintProgressFn progress, void *user,
                           LintImages *images);
// The facts of one image: those measured before, or measured now.
LintImageFacts LintImages_Facts(LintImages *images, const std::string &path);
