#include "platform/web/web_backend.hpp"

#include <GLFW/glfw3.h>
#include <emscripten.h>

#include <cstdint>
#include <cstdlib>

#include "platform/files/file_system.hpp"
#include "platform/gl/gl_backend.hpp"
#include "platform/pacing.hpp"
#include "platform/recovery/recovery_store.hpp"
#include "platform/web/page_events.hpp"

namespace flopkin {
namespace {

EM_JS(int, page_next_event, (int* out), {
    const e = Module.flopkin.events.shift();
    if (!e) return 0;
    HEAP32[out >> 2] = e[1];
    HEAP32[(out >> 2) + 1] = e[2];
    return e[0];
});

// resumes at the page's next animation frame, when what was drawn is shown;
// the page counts the frames it showed and the frames the program made
EM_ASYNC_JS(void, page_next_frame, (), {
    await new Promise(resolve => requestAnimationFrame(resolve));
    Module.flopkin.shown++;
});
EM_JS(void, page_count_frame, (), { Module.flopkin.frames++; });

// set while a frame that is done waits to be shown; no other wait of the
// program (a requester, the storage) is between frames
bool between_frames = false;

// a frame's wait ends at the animation frame this close to when it is due
constexpr double due_slack_ms = 4;

// the chosen path, allocated with malloc, or 0 when cancelled
EM_ASYNC_JS(char*, page_request_file, (const char* prompt, const char* filter, int save, const char* initial), {
    const chosen = await Module.flopkin.request(UTF8ToString(prompt), UTF8ToString(filter), save !== 0,
                                                UTF8ToString(initial));
    return chosen ? allocateUTF8(chosen) : 0;
});

EM_JS(void, page_set_title, (const char* title), { document.title = UTF8ToString(title); });

// 1 once the file's bytes are in the browser's storage for good, or 0 with
// the reason, allocated with malloc, in *why
EM_ASYNC_JS(int, page_keep_file, (const char* path, char** why), {
    return pageAnswer(Module.flopkin.keep(UTF8ToString(path)), why);
});

// The run's unsaved figure in the browser's storage, one record per run; the
// page writes it after the frame that hands it over, and lists the figures
// of every run in Open.
EM_JS(char*, page_recovery_path, (), { return allocateUTF8(Module.flopkin.recovery.path); });
EM_JS(void, page_recovery_changed, (), { Module.flopkin.recovery.changed(); });
// stores this run's figure; of the other runs' figures the newest `newest` stay
EM_JS(void, page_recovery_keep, (int newest), { Module.flopkin.recovery.keep(newest); });
EM_JS(void, page_recovery_discard, (), { Module.flopkin.recovery.discard(); });
EM_JS(void, page_recovery_forget, (const char* path), { Module.flopkin.recovery.forget(UTF8ToString(path)); });
// the figures of ended runs as "path<TAB>seconds" lines, newest first, the
// newest copied into memory at its path; allocated with malloc
EM_ASYNC_JS(char*, page_recovery_earlier, (), {
    return allocateUTF8(await Module.flopkin.recovery.earlier().catch(function (failure) {
        console.error('flopkin: the unsaved figures could not be listed: ' + failure);
        return "";
    }));
});
// why the last figure handed over could not be stored; 0 when it was, or is on its way
EM_JS(char*, page_recovery_failure, (), {
    const why = Module.flopkin.recovery.failure;
    return why ? allocateUTF8(why) : 0;
});
// 1 once what was handed over is stored, or 0 with the reason, allocated with malloc, in *why
EM_ASYNC_JS(int, page_recovery_settle, (char** why), { return pageAnswer(Module.flopkin.recovery.settled(), why); });

// what a call that waited for the page answered: true, or false with the
// reason it gave (allocated with malloc, freed here)
bool answered(int done, char* reason, std::string& why) {
    if (!done) why = reason ? reason : "the browser's storage refused it";
    std::free(reason);
    return done != 0;
}

class page_recovery : public recovery_store {
public:
    page_recovery() {
        char* path = page_recovery_path();
        path_ = path;
        std::free(path);
    }
    // the page lists them as "path<TAB>seconds" lines, newest first, the
    // newest copied into memory; the requester lists them all too
    std::vector<earlier_figure> earlier_figures() override {
        char* listed = page_recovery_earlier();
        std::vector<earlier_figure> figures;
        std::string line;
        for (const char* at = listed; at && *at; ++at) {
            if (*at != '\n') {
                line.push_back(*at);
                continue;
            }
            std::size_t tab = line.find('\t');
            if (tab != std::string::npos)
                figures.push_back({line.substr(0, tab), static_cast<std::time_t>(std::atoll(line.c_str() + tab + 1))});
            line.clear();
        }
        std::free(listed);
        return figures;
    }
    void changed() override { page_recovery_changed(); }
    // written into the page's memory here; the page stores the bytes
    void keep(std::function<void(stream&)> fill) override {
        if (replace_file(path_, fill, failure_)) {
            failure_.clear();
            page_recovery_keep(static_cast<int>(recovery_kept_runs));
        }
    }
    void discard() override { page_recovery_discard(); }
    // its copy in memory, and its record
    void forget(const std::string& path) override {
        recovery_store::forget(path);
        page_recovery_forget(path.c_str());
    }
    bool settle(std::string& why) override {
        if (!failure_.empty()) {
            why = failure_;
            return false;
        }
        char* reason = nullptr;
        int done = page_recovery_settle(&reason);
        return answered(done, reason, why);
    }
    std::string failure() override {
        if (!failure_.empty()) return failure_;
        char* reason = page_recovery_failure();
        std::string why = reason ? reason : "";
        std::free(reason);
        return why;
    }
    std::string place() const override { return "the browser's storage, listed in Open"; }
    std::string folder() const override { return path_.substr(0, path_.rfind('/')); }
    bool named_on_stderr() const override { return false; }

private:
    std::string path_, failure_;
};

class web_backend : public gl_backend {
public:
    ~web_backend() override {
        if (window_) glfwDestroyWindow(window_);
        if (glfw_) glfwTerminate();
    }

    bool open_window(int width, int height, std::string& why) override {
        if (!glfwInit()) {
            why = "the page cannot draw";
            return false;
        }
        glfw_ = true;
        // an opaque canvas with colour only, as the desktop's context: less for the browser to compose
        glfwWindowHint(GLFW_ALPHA_BITS, 0);
        glfwWindowHint(GLFW_DEPTH_BITS, 0);
        glfwWindowHint(GLFW_STENCIL_BITS, 0);
        // the WebGL context comes through GLFW
        window_ = glfwCreateWindow(width, height, "Flopkin", nullptr, nullptr);
        if (!window_) {
            why = "the browser gives no WebGL context";
            return false;
        }
        glfwMakeContextCurrent(window_);
        canvas_.open(width, height);
        canvas_.clear({0, 0, 0});
        canvas_.flush();
        return true;
    }

    void set_title(const std::string& title) override { page_set_title(title.c_str()); }

    // frames are shown at the page's animation frames, at most 60 a second
    bool set_swap_interval(int) override { return true; }

    // a frame made to catch up is neither drawn nor shown (page_schedule)
    void clear(rgb colour) override {
        drawing_ = schedule_.draws(emscripten_get_now());
        gl_backend::clear(colour);
    }
    void last_frame_begins() override { schedule_.last_frame_begins(); }

    void present() override {
        canvas_.flush();
        page_count_frame();
        if (!schedule_.shows(emscripten_get_now())) return;
        // a display faster than 60 Hz shows some frames twice
        between_frames = true;
        do page_next_frame();
        while (emscripten_get_now() < schedule_.due() - due_slack_ms);
        between_frames = false;
    }

    void pump_events(input_state& input) override {
        // what follows a frame's end waits until the frame that sees what came before it is over
        if (holding_ && input.frame <= held_until_) return;
        holding_ = false;
        int value[2];
        while (int kind = page_next_event(value)) {
            if (kind == frame_end) {
                holding_ = true;
                held_until_ = input.frame_read ? input.frame + 1 : input.frame;
                return;
            }
            switch (kind) {
                case pointer_move: input.move(value[0], value[1]); break;
                case control_press: input.press_control(value[0]); break;
                case control_release: input.release_control(value[0]); break;
                case wheel: input.scroll(static_cast<float>(value[0]) / wheel_steps_per_notch); break;
                case key_press:
                case key_repeat:
                case key_release:
                    input.modifiers = static_cast<std::uint8_t>(value[1]);
                    if (kind == key_release)
                        input.release(value[0]);
                    else
                        input.press(value[0], kind == key_repeat);
                    break;
                default: break;
            }
        }
    }

    int millisecs() override { return static_cast<int>(static_cast<long long>(emscripten_get_now()) & 0x7fffffff); }
    void sleep_ms(int ms) override { emscripten_sleep(ms); }
    double seconds() override { return emscripten_get_now() / 1000.0; }

    std::string request_file(const std::string& prompt, const std::string& filter, bool save,
                             const std::string& initial_path) override {
        // nothing of this frame is drawn yet: the last whole frame stays on
        // screen under the dialog
        char* chosen = page_request_file(prompt.c_str(), filter.c_str(), save ? 1 : 0, initial_path.c_str());
        if (!chosen) return "";
        std::string path = chosen;
        std::free(chosen);
        return path;
    }

    recovery_store* recovery() override { return &recovery_; }

    bool keep_file(const std::string& path, std::string& why) override {
        char* reason = nullptr;
        int done = page_keep_file(path.c_str(), &reason);
        return answered(done, reason, why);
    }

private:
    page_recovery recovery_;
    page_schedule schedule_;
    bool holding_ = false;  // the page's events wait for a frame after held_until_
    std::uint32_t held_until_ = 0;
    GLFWwindow* window_ = nullptr;
    bool glfw_ = false;
};

}  // namespace

bool web_between_frames() { return between_frames; }

std::unique_ptr<backend> make_web_backend() { return std::make_unique<web_backend>(); }

}  // namespace flopkin
