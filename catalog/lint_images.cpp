// Measuring the lint's images on every core (see lint_images.h). Workers
// take the next path from a shared counter and write its facts into their
// own slot, so nothing but the counter is shared; the calling thread waits
// and reports progress.
#include "catalog/lint_images.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "catalog/part_lint.h"
#include "core/imaging/dib.h"
#include "core/imaging/file.h"
#include "core/imaging/trim.h"

namespace {

// The first `size` bytes of a file; the count read.
size_t ReadHead(const std::string &path, unsigned char *head, size_t size)
{
    VorFile *file = FILE_Open(path.c_str(), "rb");
    if (!file)
        return 0;
    size_t n = FILE_Read(head, 1, size, file);
    FILE_Close(file);
    return n;
}

bool IsPngSignature(const std::string &path)
{
    unsigned char head[8] = {0};
    return ReadHead(path, head, sizeof head) == sizeof head && memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0;
}

// Width and height from a PNG's header (the IHDR chunk that must come
// first); false when the file has none.
bool PngSize(const std::string &path, int *width, int *height)
{
    unsigned char head[24] = {0};
    if (ReadHead(path, head, sizeof head) != sizeof head || memcmp(head, "\x89PNG\r\n\x1a\n", 8) != 0 || memcmp(head + 12, "IHDR", 4) != 0)
        return false;
    auto be32 = [](const unsigned char *p) {
        return ((unsigned long)p[0] << 24) | ((unsigned long)p[1] << 16) | ((unsigned long)p[2] << 8) | p[3];
    };
    unsigned long w = be32(head + 16), h = be32(head + 20);
    *width = w > 0x7FFFFFFF ? 0x7FFFFFFF : (int)w;
    *height = h > 0x7FFFFFFF ? 0x7FFFFFFF : (int)h;
    return true;
}

// How long the waiting thread sleeps between progress reports.
const std::chrono::milliseconds PROGRESS_PERIOD(50);

}  // namespace

LintImageFacts LintImages_Measure(const std::string &path)
{
    LintImageFacts facts = {};
    // The program refuses a part larger than its limit from the header; so
    // does the lint, which never decodes one.
    int headerWidth = 0, headerHeight = 0;
    if (PngSize(path, &headerWidth, &headerHeight) &&
        (headerWidth > DIB_MAX_PART_SIDE || headerHeight > DIB_MAX_PART_SIDE)) {
        facts.tooLarge = true;
        facts.png = true;
        facts.width = headerWidth;
        facts.height = headerHeight;
        return facts;
    }
    // The codec decodes into a reused work buffer and keeps only the box of
    // visible pixels: every pixel outside it has alpha 0, which neither the
    // visibility nor the coloured share counts.
    TrimmedImage trimmed;
    if (DIB_DecodePartFile(path.c_str(), DIB_MAX_SIDE, 1, &trimmed) != TRIM_OK) {
        facts.png = IsPngSignature(path);
        return facts;
    }
    facts.decoded = true;
    facts.width = trimmed.fullWidth;
    facts.height = trimmed.fullHeight;
    const DIB *image = trimmed.image;
    int height = image->height < 0 ? -image->height : image->height;
    for (int y = 0; y < height && !facts.visible; y++) {
        const unsigned char *row = DIB_RowTD(image, y);
        for (int x = 0; x < image->width && !facts.visible; x++)
            facts.visible = row[x * 4 + 3] != 0;
    }
    if (facts.visible) {
        // 32-bit rows have no padding: the pixels are one block.
        const unsigned char *first = DIB_RowTD(image, image->height < 0 ? 0 : height - 1);
        facts.colouredShare = PartLint_ColouredShare(first, image->width * height);
    }
    DIB_Delete_(trimmed.image);
    return facts;
}

void LintImages_MeasureAll(const std::vector<std::string> &paths, int threads, LintProgressFn progress, void *user,
                           LintImages *images)
{
    const int total = (int)paths.size();
    if (threads <= 0)
        threads = (int)std::thread::hardware_concurrency();
    threads = std::max(1, std::min(threads, total));
    std::vector<LintImageFacts> facts(paths.size());
    std::atomic<int> next(0);
    std::atomic<int> done(0);
    std::mutex lock;
    std::condition_variable finished;
    auto work = [&]() {
        for (int i; (i = next++) < total;) {
            facts[(size_t)i] = LintImages_Measure(paths[(size_t)i]);
            if (++done == total) {
                std::lock_guard<std::mutex> hold(lock);
                finished.notify_all();
            }
        }
    };
    // With a progress report this thread only waits and reports; else it
    // decodes beside the others.
    std::vector<std::thread> pool;
    for (int t = progress ? 0 : 1; t < threads; t++)
        pool.emplace_back(work);
    if (progress) {
        std::unique_lock<std::mutex> hold(lock);
        while (!finished.wait_for(hold, PROGRESS_PERIOD, [&] { return done.load() == total; }))
            progress(user, done.load(), total);
        progress(user, total, total);
    } else {
        work();
    }
    for (std::thread &t : pool)
        t.join();
    for (size_t i = 0; i < paths.size(); i++)
        images->facts[paths[i]] = facts[i];
}

LintImageFacts LintImages_Facts(LintImages *images, const std::string &path)
{
    auto found = images->facts.find(path);
    if (found != images->facts.end())
        return found->second;
    return images->facts[path] = LintImages_Measure(path);
}
