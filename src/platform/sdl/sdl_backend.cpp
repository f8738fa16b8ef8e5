// The real backend: an SDL2 window with an OpenGL 1.1 context, SDL input, the
// steady clock, and GTK 3's file chooser as the requester.
#include "platform/sdl/sdl_backend.hpp"

#include <SDL2/SDL.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/recovery/recovery_files.hpp"
#include "platform/sdl/connection_loss.hpp"
#include "platform/sdl/frame_capture.hpp"
#include "platform/gl/gl_backend.hpp"
#include "platform/sdl/gtk_requester.hpp"
#include "platform/sdl/held_over_keys.hpp"
#include "platform/sdl/key_codes.hpp"
#include "platform/sdl/x11_window.hpp"

namespace flopkin {
namespace {

int mouse_code(Uint8 button) {
    switch (button) {
        case SDL_BUTTON_LEFT: return code_mouse_left;
        case SDL_BUTTON_RIGHT: return code_mouse_right;
        case SDL_BUTTON_MIDDLE: return code_mouse_middle;
        default: return 0;
    }
}

class sdl_backend : public gl_backend {
public:
    explicit sdl_backend(bool offscreen) : offscreen_(offscreen) {
        std::string folder = recovery_files::default_folder();
        if (!offscreen && !folder.empty())
            recovery_ = std::make_unique<recovery_files>(folder, recovery_files::run_name());
    }

    ~sdl_backend() override {
        if (context_) SDL_GL_DeleteContext(context_);
        if (window_) SDL_DestroyWindow(window_);
        if (video_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
    }

    bool open_window(int width, int height, std::string& why) override {
        // a close request is ours to ignore; a terminate signal is the program's
        // own to handle, so that it can end its frame loop in order
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // the window keeps the pointer while a button is held, so a drag can
        // leave it and still be released; SDL does this from the pointer's
        // focus, where SDL_CaptureMouse would need the keyboard focus too
        SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
        // the requester runs on GTK's X11 backend; keep the window on X11 too
        // (XWayland on a Wayland session) unless a driver is chosen explicitly
        if (offscreen_)
            SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
        else if (!std::getenv("SDL_VIDEODRIVER"))
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            fail(why);
            const char* display = std::getenv("DISPLAY");
            if (!offscreen_ && !std::getenv("SDL_VIDEODRIVER") && (!display || !*display))
                why = "no display: DISPLAY is not set (" + why + ")";
            return false;
        }
        video_ = true;
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
        window_ = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                                   SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!window_) return fail(why);
        // a window that offers to close would do nothing when asked
        ask_for_no_close(window_);
        SDL_ShowWindow(window_);
        context_ = SDL_GL_CreateContext(window_);
        if (!context_) return fail(why);
        if (SDL_GL_MakeCurrent(window_, context_) != 0) return fail(why);
        canvas_.open(width, height);
        if (!offscreen_) keep_figure_on_connection_loss(recovery_.get());
        width_ = width;
        height_ = height;
        // both buffers start black
        for (int i = 0; i < 2; ++i) {
            canvas_.clear({0, 0, 0});
            show();
        }
        return true;
    }

    gl_canvas& canvas() { return canvas_; }

    void set_title(const std::string& title) override {
        if (window_) SDL_SetWindowTitle(window_, title.c_str());
    }

    bool set_swap_interval(int interval) override { return window_ && SDL_GL_SetSwapInterval(interval) == 0; }

    void present() override {
        if (window_) show();
    }

    void keep_shown_frames() override { keep_frames_ = true; }
    recovery_store* recovery() override { return recovery_.get(); }
    bool last_shown_frame(frame_image& out) override { return capture_.last(out); }

    void pump_events(input_state& input) override {
        if (!video_) return;
        if (pointer_after_requester_) {
            input.move(pointer_x_, pointer_y_);
            pointer_after_requester_ = false;
        }
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            if (offscreen_) continue;  // a run without a display takes no input
            if (!held_over_.passes(e)) continue;
            switch (e.type) {
                case SDL_KEYDOWN:
                    input.modifiers = static_cast<std::uint8_t>(key_modifiers(e.key.keysym.mod));
                    input.press(virtual_key(e.key.keysym), e.key.repeat != 0);
                    break;
                case SDL_KEYUP:
                    input.modifiers = static_cast<std::uint8_t>(key_modifiers(e.key.keysym.mod));
                    input.release(virtual_key(e.key.keysym));
                    break;
                case SDL_MOUSEBUTTONDOWN:
                    // Shift held with a press of a button changes what it does
                    input.modifiers = static_cast<std::uint8_t>(key_modifiers(SDL_GetModState()));
                    input.press(mouse_code(e.button.button));
                    break;
                case SDL_MOUSEBUTTONUP: input.release(mouse_code(e.button.button)); break;
                case SDL_MOUSEMOTION: input.move(e.motion.x, e.motion.y); break;
                case SDL_MOUSEWHEEL:
                    // fractions from a touchpad; a flipped wheel reports the other way round
                    input.scroll(e.wheel.preciseY * (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0f : 1.0f));
                    break;
                default: break;  // close requests among them: the program ends only by its own decision
            }
        }
    }

    int millisecs() override {
        // the machine's steady clock, so it runs (and seeds the generator)
        // before any window exists; kept positive, differences are what count
        auto since = std::chrono::steady_clock::now().time_since_epoch();
        long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
        return static_cast<int>(ms & 0x7fffffff);
    }

    void sleep_ms(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

    double seconds() override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }

    std::string request_file(const std::string& prompt, const std::string& filter, bool save,
                             const std::string& initial_path) override {
        if (offscreen_) return "";
        std::string chosen = gtk_request_file(window_, prompt, filter, save, initial_path,
                                              recovery_files::default_folder());
        // GTK put its own handler in place of ours as it started
        keep_figure_on_connection_loss(recovery_.get());
        // the dialog may have used the GL context's thread state; take it back
        if (window_ && context_) SDL_GL_MakeCurrent(window_, context_);
        held_over_.take(window_);
        // the pointer moved over the dialog, where the window saw none of it
        pointer_after_requester_ = pointer_in_window(window_, pointer_x_, pointer_y_);
        return chosen;
    }

private:
    // the back buffer becomes the shown frame, read back first when asked to;
    // shapes still gathered by the canvas belong to it
    void show() {
        canvas_.flush();
        if (keep_frames_) capture_.grab(width_, height_);
        SDL_GL_SwapWindow(window_);
    }

    bool fail(std::string& why) {
        why = SDL_GetError();
        if (why.empty()) why = "no reason given";
        return false;
    }

    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    bool video_ = false;
    bool offscreen_;
    bool keep_frames_ = false;
    int width_ = 0, height_ = 0;
    frame_capture capture_;
    held_over_keys held_over_;
    bool pointer_after_requester_ = false;
    int pointer_x_ = 0, pointer_y_ = 0;
    std::unique_ptr<recovery_files> recovery_;
};

}  // namespace

std::unique_ptr<backend> make_sdl_backend(bool offscreen) { return std::make_unique<sdl_backend>(offscreen); }

gl_canvas* canvas_of(backend& be) {
    auto* sdl = dynamic_cast<sdl_backend*>(&be);
    return sdl ? &sdl->canvas() : nullptr;
}

}  // namespace flopkin
