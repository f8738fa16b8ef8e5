// The drawing of a large figure's frame through the real OpenGL backend,
// against one draw call of the very same triangles, in the same run.
//
//   flopkin_draw_bench [--frames N] [--balls N]
//
// Each measured frame is cleared, then (a) the app draws its links and balls
// as the frame loop does (nothing is simulated) and the canvas draws what it
// gathered, or (b) the triangles the canvas gathered for that frame, kept
// aside, are drawn with one call; both end in glFinish. It needs a display (an
// X server or Xvfb). Prints both medians and their ratio; fails when (b) does
// not make the same pixels as (a), or when a frame of (a) allocates. Figures
// up to about 20,000 balls fit in the canvas's one batch that (b) needs.
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "allocation_count.hpp"
#include "app/app.hpp"
#include "sample_figures.hpp"
#include "platform/graphics.hpp"
#include "platform/sdl/frame_capture.hpp"
#include "platform/gl/gl_canvas.hpp"
#include "platform/sdl/sdl_backend.hpp"

namespace {

using namespace flopkin;
using clock_type = std::chrono::steady_clock;

double median(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::size_t n = ms.size();
    return n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
}

// milliseconds from the clear to the end of glFinish
template <class Draw>
double timed_frame(Draw draw) {
    auto started = clock_type::now();
    clear_screen();
    draw();
    glFinish();
    return std::chrono::duration<double, std::milli>(clock_type::now() - started).count();
}

// the back buffer as it stands
frame_image read_back(int width, int height) {
    frame_capture capture;
    capture.grab(width, height);
    frame_image image;
    capture.last(image);
    return image;
}

// a mesh of about `balls` balls in colours that stand out from the background,
// the view holding all of it
std::unique_ptr<app> mesh_in_view(int balls) {
    auto a = std::make_unique<app>();
    add_sized_figure(a->figure, "mesh", balls, -2000, -2000);
    // 30 units between balls, and a margin
    float side = 30.0f * static_cast<float>(std::lround(std::sqrt(static_cast<double>(balls))));
    a->view.view_left = -2050;
    a->view.view_top = -2050;
    a->view.view_right = -2000 + side + 50;
    a->view.view_bottom = -2000 + side + 50;
    a->fit_view();
    for (int row = 0; row < a->palette.size; ++row) {
        a->palette.colour[row][0] = 120 + 4 * row;
        a->palette.colour[row][1] = 200 - 3 * row;
        a->palette.colour[row][2] = 60 + 5 * row;
    }
    return a;
}

int bench(int frames, int balls) {
    auto be = make_sdl_backend();
    use_backend(be.get());
    std::string why;
    if (!open_graphics(1024, 768, 0, 60, why)) {
        std::fprintf(stderr, "flopkin_draw_bench: cannot open the window: %s\n", why.c_str());
        return 2;
    }
    unpace_frames();
    set_window_title("Flopkin draw bench");
    gl_canvas& canvas = *canvas_of(*be);

    auto a = mesh_in_view(balls);
    // the app's own work, the drawing of the gathered triangles aside; only
    // its allocations are counted, as OpenGL drivers may allocate in their own
    // calls (a shader compiled for a new state)
    std::vector<double> gather_ms;
    gather_ms.reserve(frames + 2);
    long allocations = 0;
    auto through_app = [&] {
        auto started = clock_type::now();
        long before = allocations_so_far();
        a->draw_figure();
        allocations += allocations_so_far() - before;
        gather_ms.push_back(std::chrono::duration<double, std::milli>(clock_type::now() - started).count());
        canvas.flush();
    };

    // a first frame grows the canvas's arrays; its triangles are kept for (b)
    timed_frame(through_app);
    clear_screen();
    a->draw_figure();
    const vertex_batch triangles = canvas.pending_fills();
    canvas.flush();
    frame_image by_app = read_back(a->view.screen_width, a->view.screen_height);
    flip();
    timed_frame([&] { canvas.draw(triangles); });
    frame_image by_one_call = read_back(a->view.screen_width, a->view.screen_height);
    flip();
    // a blank frame would match anything: the figure must be in it
    bool drawn = std::any_of(by_app.rgb.begin(), by_app.rgb.end(), [](std::uint8_t v) { return v != 0; });
    bool same = by_app.width > 0 && drawn && by_app.rgb == by_one_call.rgb;

    std::vector<double> app_ms, one_call_ms;
    app_ms.reserve(frames);
    one_call_ms.reserve(frames);
    allocations = 0;
    gather_ms.clear();
    // taken in turns, so a busy moment of the machine weighs on both
    for (int f = 0; f < frames; ++f) {
        app_ms.push_back(timed_frame(through_app));
        flip();
        one_call_ms.push_back(timed_frame([&] { canvas.draw(triangles); }));
        flip();
    }
    double by_app_ms = median(app_ms), by_one_call_ms = median(one_call_ms);
    std::printf("renderer: %s, %s\n", glGetString(GL_RENDERER), glGetString(GL_VERSION));
    std::printf("figure: %zu balls, %zu links, %zu triangles\n", a->figure.balls.count(), a->figure.links.count(),
                triangles.index_count() / 3);
    std::printf("frames: %d\n", frames);
    std::printf("through the app's drawing: median %.3f ms (gathering the shapes: %.3f ms)\n", by_app_ms,
                median(gather_ms));
    std::printf("one draw call of the same triangles: median %.3f ms\n", by_one_call_ms);
    std::printf("ratio: %.3f\n", by_app_ms / by_one_call_ms);
    std::printf("same pixels: %s\n", same ? "yes" : "no");
    std::printf("allocations in the app's frames: %ld\n", allocations);
    a.reset();
    use_backend(nullptr);
    // as when the canvas had to draw part of the figure early, its batch full
    if (!same) std::fprintf(stderr, "flopkin_draw_bench: the one call drew other pixels than the app\n");
    if (allocations) std::fprintf(stderr, "flopkin_draw_bench: the app's frames allocated\n");
    return same && allocations == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 50, balls = 5000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--frames") == 0) {
            frames = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--balls") == 0) {
            balls = std::atoi(argv[i + 1]);
        } else {
            std::fprintf(stderr, "usage: flopkin_draw_bench [--frames N] [--balls N]\n");
            return 2;
        }
    }
    if (frames < 1 || balls < 1 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: flopkin_draw_bench [--frames N] [--balls N]\n");
        return 2;
    }
    return bench(frames, balls);
}
