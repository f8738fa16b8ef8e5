#pragma once
// The application object and the frame loop that drives it. The physics'
// and the editing's operations are one-line calls into them, which see only
// the figure and the parts of the app passed in.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/document_state.hpp"
#include "app/history.hpp"
#include "app/notice_line.hpp"
#include "app/settings.hpp"
#include "app/unsaved_figure.hpp"
#include "editing/figure_editing.hpp"
#include "physics/constants.hpp"
#include "physics/figure.hpp"
#include "physics/view.hpp"

namespace flopkin {

class menu;
class button;
struct value_row;
class stream;

// How a run was asked for on the command line.
struct run_options {
    long long frames = -1;      // end after this many frames; -1 = until Escape or Quit
    bool headless = false;      // no window; nothing drawn unless a screenshot is asked for
    bool unpaced = false;       // frames back to back
    bool stats = false;         // frame-time line on stderr at exit
    std::string document;       // opened at start-up instead of the default document
    std::string start_up_figure; // added at start-up, with no name, in place of the default document
    std::string output;         // written when the program ends
    std::string screenshot;     // the last frame shown, written as PNG when the program ends
    std::string record;         // the frames shown, written as an animated GIF
    int record_every = 2;       // of the frames shown, every this many goes into the clip
    long long seed = -1;        // seeds the random generator; -1 = from the clock
    int threads = 0;            // sharing the simulation; 0 = decided by figure size
    bool collide = false;       // figures collide from the start
};


// The frame loop's own state: how the run was asked for, how far it is, and
// what the commands asked of the loop.
struct run_state {
    run_options options;
    long long frames_run = 0;
    std::vector<double> frame_ms;   // each frame's own work, for --stats
    // set by "Quit": the frame ends at once and the loop with it
    bool quit_requested = false;
    // play mode with the simulation step held; part of no document or history
    bool paused = false;
    bool step_once = false;         // one step asked for while paused
    // balls of different figures collide in play mode; part of no document
    bool collide = false;
    long long edit_step_frame = -1; // the frame whose drawing took a step already
    // the page shows its touch layout: the notice names its controls, not keys
    bool touch_layout = false;
};

// The application: the figure with its mode, and beside it the settings,
// the view, the gestures in progress, the menu, the history, the document
// and the unsaved figure, each a part of its own; the operations that join
// them are the app's.
struct app {
    app();
    ~app();
    app(const app&) = delete;
    app& operator=(const app&) = delete;

    figure_mode mode = figure_mode::play;
    // the balls, links and tensions, in the order every pass walks them
    flopkin::figure figure;
    flopkin::settings settings;
    flopkin::palette palette;
    view_fields view;
    editing_fields editing;
    // mouse button 1 was up at the end of the last command handling: a
    // command button acts on the first frame of a press only
    bool click_armed = false;
    std::unique_ptr<flopkin::menu> menu;
    figure_history history;
    document_state document;
    unsaved_figure unsaved;
    // below "Paused", and below "Collide" while figures collide
    notice_line notice;
    run_state loop;

    // the parts the history keeps and gives back
    figure_scene scene() { return {figure, mode, editing, view, document.path}; }

    // --- application core ---
    // Start-up, window, frame loop; the exit status.
    int run(const run_options& options);
    // Seeds the generator and loads the start-up document; false with a
    // message when a document named on the command line cannot be read.
    bool start_up(std::string& error);
    // what happens when the program ends: the --output document; false
    // (with a message on stderr) when it could not be written
    bool shut_down();
    // One pass of the frame loop; false once the loop is to end.
    bool run_frame();
    void force_draw_mode_if_empty();
    void drop_far_balls();
    // deletes the balls whose position is not a finite number
    void drop_lost_balls();
    void drift_palette();
    void draw_grid();
    // the grid's grey at the present zoom, which the pause mark shares
    int grid_grey() const;
    void handle_commands();
    // the command buttons' actions, shared by the menu and the keyboard
    void mode_command();
    void delete_command();
    void clear_all_command();
    void open_command();
    // R: opens the newest unsaved figure an ended run kept
    void restore_command();
    // what restores it, as the notice names it: the key, or the touch layout's control
    std::string restore_by();
    // a failure a person must see: in the notice line and on stderr
    void tell(const std::string& words);
    // Open's action as one step: path, or the one the user picks when empty
    // true when the figure changed
    bool open_figure(const std::string& path);
    void add_command();
    // "Quit": nothing is saved, the frame ends at once and the loop with it
    void quit_command();
    // P: pauses or resumes play mode; N or the period key: one step while paused
    void pause_command();
    void step_command();
    // C: figures collide, or pass through each other
    void collide_command();
    // a command row's action; whatever enters draw mode ends a pause
    void run_command(void (app::*act)());
    void undo();
    void redo();
    void handle_shortcuts();
    // the menu laid out from the settings and the table of commands
    void layout_menu();
    // the menu's button of the command whose action is act
    button& button_of(void (app::*act)());
    // the menu's value row that shows value
    value_row& row_of(float (*value)(const app&));
    // an action of the drawing is about to change the figure: the first one
    // in a frame keeps the figure as it was, as one step
    void before_edit();
    // the user changed the figure since it was last opened or saved
    bool figure_changed() const;
    // the figure as it stands is the one opened or saved
    void mark_figure_kept();
    // at a frame's end: hands a changed figure to the recovery store once
    // the changes pause, or while they go on for long
    void keep_recovery_figure();
    // as the program ends: keeps a changed figure, or lets go of the
    // recovery figure when nothing is unsaved
    void keep_unsaved_figure();
    // the figure as it stands, captured now, and what writes it with the
    // bytes Save would write (in draw mode with the tensions Save builds),
    // from a copy: the figure on screen stays as it is. The writer may run
    // on any thread.
    std::function<void(stream&)> figure_writer();

    // --- physics ---
    void fit_view();
    void zoom_step(int direction);
    // gravity, advance, walls, relaxation, velocities
    void simulation_step();
    // one link pass, or one tension pass, on its own
    void relax_links();
    void relax_tensions(bool in_draw_mode);
    // every link, then every ball
    void draw_figure();

    // --- editing ---
    void place_ball_step();
    void link_step();
    void build_tensions();
    void label_figures();
    void number_balls();
    void drag_step();
    void delete_ball(ball_ref ball);
    void clear_all();

    // --- files ---
    // replace: Open, else Add; an empty path asks the user for one
    void load_document(bool replace, const std::string& path);
    void save_document();
    void save_document_as();
    // writes the figure to path without ever leaving a half-written file;
    // false with the reason when nothing was written
    bool write_document(const std::string& path, std::string& why);
    // reads a document whole, then replaces or adds to the figure; false,
    // with nothing changed, when it cannot be read or is no figure. `said`
    // tells why, or that a file opened was cut short; "" when all went well
    bool read_document(bool replace, const std::string& path, std::string& said);
};

}  // namespace flopkin
