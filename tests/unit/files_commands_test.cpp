#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "document_fixture.hpp"
#include "platform/files/file_system.hpp"

namespace flopkin {

using DocumentCommands = InTempFolder;

TEST_F(DocumentCommands, OpenReplacesAddKeepsCancelChangesNothing) {
    put("doc.fkn", three_balls());
    put_ball(a.figure, 1, 1);
    put_ball(a.figure, 2, 2);
    a.document.path = "earlier.fkn";

    a.load_document(1, "");  // the requester is cancelled
    ASSERT_EQ(hb.requester_calls.size(), 1u);
    EXPECT_EQ(hb.requester_calls[0].prompt, "Open file:");
    EXPECT_EQ(hb.requester_calls[0].filter, "All Files:*;Flopkin files (.fkn):fkn");
    EXPECT_FALSE(hb.requester_calls[0].save);
    EXPECT_EQ(a.figure.balls.count(), 2u);

    hb.requester_answers = {"doc.fkn", "doc.fkn"};
    a.load_document(0, "");
    EXPECT_EQ(a.figure.balls.count(), 5u);
    EXPECT_EQ(a.figure.links.count(), 2u);
    EXPECT_EQ(a.document.path, "earlier.fkn");
    a.load_document(1, "");
    EXPECT_EQ(a.figure.balls.count(), 3u);
    EXPECT_EQ(a.figure.links.count(), 2u);
    EXPECT_EQ(a.document.path, "doc.fkn");
}

TEST_F(DocumentCommands, AddNumbersTheNewBallsAfterTheOldOnes) {
    for (int i = 0; i < 5; ++i) put_ball(a.figure, 0, 0)->number = 99;  // stale numbers are renumbered first
    put("three.fkn", three_balls());
    a.load_document(0, "three.fkn");
    ASSERT_EQ(a.figure.balls.count(), 8u);
    ASSERT_EQ(a.figure.links.count(), 2u);
    EXPECT_EQ(a.figure.links.slot(0)->end_a, a.figure.balls.slot(5));
    EXPECT_EQ(a.figure.links.slot(0)->end_b, a.figure.balls.slot(6));
    EXPECT_EQ(a.figure.links.slot(1)->end_b, a.figure.balls.slot(7));
    EXPECT_EQ(a.figure.balls.slot(7)->x, 30);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(a.figure.balls.slot(i)->number, i + 1);
    // a link ahead of its balls' records names no ball yet, least of all an old one
    put("early.fkn", doc().link(1, 2, 7).ball(1, 1, 0, 0).ball(2, 1, 5, 0).data);
    a.load_document(0, "early.fkn");
    EXPECT_EQ(a.figure.balls.count(), 10u);
    EXPECT_EQ(a.figure.links.count(), 2u);
}

TEST_F(DocumentCommands, WhatCannotBeReadChangesNothing) {
    put_ball(a.figure, 1, 1);
    a.document.path = "earlier.fkn";
    std::filesystem::create_directory("folder.fkn");
    put("doc.fkn", three_balls());
    a.load_document(1, "folder.fkn");
    a.load_document(1, "missing.fkn");
    use_device_maker(breaking_disk(100, never));  // a read error half-way through
    a.load_document(1, "doc.fkn");
    a.load_document(0, "doc.fkn");
    EXPECT_EQ(a.figure.balls.count(), 1u);
    EXPECT_EQ(a.figure.links.count(), 0u);
    EXPECT_EQ(a.document.path, "earlier.fkn");
}

TEST_F(DocumentCommands, ReadOnlyAndEmptyDocumentsOpen) {
    put("ro.fkn", three_balls());
    ::chmod("ro.fkn", 0444);
    a.load_document(1, "ro.fkn");
    EXPECT_EQ(a.figure.balls.count(), 3u);
    put("empty.fkn", {});
    a.load_document(1, "empty.fkn");  // counts as opened: the figure empties
    EXPECT_TRUE(a.figure.balls.is_empty());
    EXPECT_TRUE(a.figure.links.is_empty());
    EXPECT_EQ(a.document.path, "empty.fkn");
}

// A file with no record is no figure, unless it is an empty document: Open,
// Add and the command line refuse it and say so. A file cut short opens with
// what could be read, says so, and has no name, so Save never writes over it.
TEST_F(DocumentCommands, NoFigureIsRefusedAndACutFileOpensWithoutAName) {
    put_ball(a.figure, 1, 1);
    a.document.path = "earlier.fkn";
    put("notes.md", {'#', ' ', 'N', 'o', 't', 'e', 's', '\n', 'h', 'i', '\n'});
    put("header two.fkn", doc("2").data);
    for (const char* path : {"notes.md", "header two.fkn"}) {
        hb.requester_answers = {path, path};
        a.open_command();
        EXPECT_EQ(a.notice.text, "\"" + std::string(path) + "\" is not a Flopkin figure");
        a.notice.clear();
        a.add_command();
        EXPECT_EQ(a.notice.text, "\"" + std::string(path) + "\" is not a Flopkin figure");
        EXPECT_EQ(a.figure.balls.count(), 1u) << path;
        EXPECT_EQ(a.document.path, "earlier.fkn") << path;
    }
    app named;
    named.loop.options.document = "notes.md";
    std::string error;
    EXPECT_FALSE(named.start_up(error));
    EXPECT_EQ(error, "\"notes.md\" is not a Flopkin figure");
    EXPECT_EQ(get("notes.md").size(), 11u);

    put("header.fkn", doc().data);  // the header alone is an empty document
    a.load_document(1, "header.fkn");
    EXPECT_TRUE(a.figure.balls.is_empty());
    EXPECT_EQ(a.document.path, "header.fkn");

    bytes whole = three_balls();
    put("cut.fkn", bytes(whole.begin(), whole.begin() + 100));
    a.notice.clear();
    a.load_document(1, "cut.fkn");
    EXPECT_EQ(a.figure.balls.count(), 2u);
    EXPECT_EQ(a.notice.text, "\"cut.fkn\" is cut short: 2 balls read");
    EXPECT_EQ(a.document.path, "");
    a.save_document();  // asks for a name (cancelled): the damaged file stays
    EXPECT_EQ(hb.requester_calls.back().prompt, "Save as:");
    EXPECT_EQ(get("cut.fkn").size(), 100u);
}

// What failed is drawn in the canvas, and stays there while the key that
// caused it is held, until the next press: a start-up document that cannot
// be read, a Save that cannot write.
TEST_F(DocumentCommands, FailuresStayInTheCanvasUntilTheNextPress) {
    auto shown = [&] {
        hb.forget_drawing();
        a.run_frame();
        for (const draw_record& r : hb.drawn)
            if (r.kind == draw_record::shape::text && r.text.rfind("cannot ", 0) == 0) return r.text;
        return std::string();
    };
    std::filesystem::create_directories("saved flopkins/flopkin.fkn");
    std::string error;
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(a.start_up(error));
    EXPECT_EQ(shown(), "cannot read \"saved flopkins/flopkin.fkn\": Is a directory");
    hb.move(300, 300);
    hb.press(code_mouse_left);
    EXPECT_EQ(shown(), "");

    hb.release(code_mouse_left);
    put_ball(a.figure, 1, 1);
    a.document.path = "doc.fkn";
    use_device_maker(breaking_disk(never, 20));
    hb.press('S', modifier_ctrl);
    for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(shown(), "cannot save \"doc.fkn\": Error writing to stream");
    hb.release('S', modifier_ctrl);
    hb.press('Q');
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "flopkin: cannot read \"saved flopkins/flopkin.fkn\": Is a directory\n"
              "flopkin: cannot save \"doc.fkn\": Error writing to stream\n");
}

TEST_F(DocumentCommands, LoadingWidensTheViewToTheBalls) {
    put("far.fkn", doc().ball(1, 1, 2000, 1500).ball(2, 1, -1000, -500).data);
    a.settings.ball_size = 20;
    a.load_document(0, "far.fkn");
    EXPECT_LE(a.view.view_left, -1000 - 120);
    EXPECT_GE(a.view.view_right, 2000 + 120);
    EXPECT_LE(a.view.view_top, -500 - 120);
    EXPECT_GE(a.view.view_bottom, 1500 + 120);
}

TEST_F(DocumentCommands, SaveInPlayModeWritesTheFigureAsItIs) {
    auto p = put_ball(a.figure, 1, 2);
    auto q = put_ball(a.figure, 3, 4);
    put_link(a.figure, p, q, 10);
    put_tension(a.figure, p, q, p, 45, 5);
    p->number = 7;
    a.document.path = "doc.fkn";
    a.save_document();
    EXPECT_EQ(a.menu->save_label, "Saved!");
    EXPECT_EQ(a.menu->save_message_frames, 60);
    EXPECT_EQ(get("doc.fkn"), figure_bytes(a.figure));
    EXPECT_EQ(get("doc.fkn").size(), 3 + 2 * 42 + 38 + 33u);
    EXPECT_EQ(p->number, 1);
    EXPECT_TRUE(hb.requester_calls.empty());
}

TEST_F(DocumentCommands, FirstSaveAsksForANameInTheDocumentFolder) {
    put_ball(a.figure, 1, 2);
    hb.requester_answers = {"saved flopkins/mine.fkn"};
    a.save_document();
    ASSERT_EQ(hb.requester_calls.size(), 1u);
    EXPECT_EQ(hb.requester_calls[0].prompt, "Save as:");
    EXPECT_EQ(hb.requester_calls[0].filter, "");
    EXPECT_TRUE(hb.requester_calls[0].save);
    EXPECT_EQ(hb.requester_calls[0].initial_path, "saved flopkins/untitled.fkn");
    EXPECT_EQ(a.document.path, "saved flopkins/mine.fkn");
    EXPECT_EQ(get("saved flopkins/mine.fkn").size(), 3 + 42u);
    EXPECT_EQ(a.menu->save_message_frames, 0);  // Save as says nothing when it works

    a.save_document_as();  // cancelled: nothing at all
    EXPECT_EQ(hb.requester_calls.back().initial_path, "saved flopkins/mine.fkn");
    EXPECT_EQ(a.document.path, "saved flopkins/mine.fkn");
    EXPECT_EQ(a.menu->save_message_frames, 0);
}

TEST_F(DocumentCommands, AFailedSaveKeepsTheOldFileAndSaysSo) {
    put_ball(a.figure, 1, 2);
    put("doc.fkn", three_balls());
    a.document.path = "doc.fkn";
    use_device_maker(breaking_disk(never, 20));  // the disk fills up half-way
    testing::internal::CaptureStderr();
    a.save_document();
    use_device_maker(nullptr);
    EXPECT_EQ(a.menu->save_label, "Save failed!");
    EXPECT_EQ(a.menu->save_message_frames, 60);
    EXPECT_EQ(get("doc.fkn"), three_balls());
    EXPECT_EQ(entries(), 1u);

    a.menu->save_message_frames = 0;
    hb.requester_answers = {"nowhere/doc.fkn"};  // a folder that is not there
    a.save_document_as();
    // why each failed is on standard error
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "flopkin: cannot save \"doc.fkn\": Error writing to stream\n"
              "flopkin: cannot save \"nowhere/doc.fkn\": No such file or directory\n");
    EXPECT_EQ(a.menu->save_label, "Save failed!");
    EXPECT_EQ(a.menu->save_message_frames, 60);
    EXPECT_EQ(a.document.path, "doc.fkn");
}

// A folder the user may not change: a document there that the user may write
// is written in place, one the user may not write stays as it was. So it is
// where the folder lets a file in but not replace another's (sticky).
TEST_F(DocumentCommands, WhereTheFolderRefusesOnlyWritableDocumentsSave) {
    put_ball(a.figure, 1, 2);
    std::filesystem::create_directory("locked");
    put("locked/mine.fkn", three_balls());
    put("locked/theirs.fkn", three_balls());
    ::chmod("locked/mine.fkn", 0666);
    ::chmod("locked/theirs.fkn", 0444);
    ::chmod("locked", 0555);
    // permissions do not bind the super-user, so as root the saves run in a
    // child that has given up its privileges
    bool as_root = ::geteuid() == 0;
    pid_t child = as_root ? ::fork() : 0;
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (as_root && (::chmod(dir.c_str(), 0755) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        a.document.path = "locked/mine.fkn";
        a.save_document();
        bool mine_saved = a.menu->save_label == "Saved!" && get("locked/mine.fkn") == figure_bytes(a.figure);
        a.document.path = "locked/theirs.fkn";
        a.save_document();
        bool theirs_kept = a.menu->save_label == "Save failed!" && get("locked/theirs.fkn") == three_balls() &&
                           a.document.path == "locked/theirs.fkn";
        bool nothing_else = std::distance(std::filesystem::directory_iterator("locked"), {}) == 2;
        if (as_root) ::_exit(mine_saved && theirs_kept && nothing_else ? 0 : 1);
        EXPECT_TRUE(mine_saved);
        EXPECT_TRUE(theirs_kept);
        EXPECT_TRUE(nothing_else);
    } else {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    }
    ::chmod("locked", 0755);

    put("doc.fkn", three_balls());
    a.document.path = "doc.fkn";
    use_file_mover([](const std::string&, const std::string&) { return EPERM; });
    a.save_document();
    use_file_mover(nullptr);
    EXPECT_EQ(a.menu->save_label, "Saved!");
    EXPECT_EQ(get("doc.fkn"), figure_bytes(a.figure));
    EXPECT_EQ(entries(), 2u) << "only doc.fkn and the locked folder";
}

// A name of 255 bytes saves: the temporary file beside it has a short name of
// its own. A path longer than 1023 characters does not, though the folders exist.
TEST_F(DocumentCommands, LongestNamesSaveLongerPathsFail) {
    put_ball(a.figure, 1, 2);
    std::string name = std::string(251, 'n') + ".fkn";
    hb.requester_answers = {name};
    a.save_document_as();
    EXPECT_EQ(a.document.path, name);
    EXPECT_EQ(get(name), figure_bytes(a.figure));
    EXPECT_EQ(a.menu->save_message_frames, 0);

    std::string deep = ".";
    for (int i = 0; i < 5; ++i) deep += "/" + std::string(220, 'd');
    std::filesystem::create_directories(deep);
    hb.requester_answers = {deep + "/x.fkn"};
    a.save_document_as();
    EXPECT_EQ(a.menu->save_label, "Save failed!");
    EXPECT_FALSE(std::filesystem::exists(deep + "/x.fkn"));
    EXPECT_EQ(a.document.path, name);
}

TEST_F(DocumentCommands, StartUpOpensTheNamedDocumentOrAddsTheDefault) {
    std::filesystem::create_directory("saved flopkins");
    put("saved flopkins/flopkin.fkn", three_balls());
    std::string error;
    ASSERT_TRUE(a.start_up(error));
    EXPECT_EQ(a.figure.balls.count(), 3u);
    EXPECT_EQ(a.document.path, "");

    app named;
    named.loop.options.document = "saved flopkins/flopkin.fkn";
    ASSERT_TRUE(named.start_up(error));
    EXPECT_EQ(named.figure.balls.count(), 3u);
    EXPECT_EQ(named.document.path, "saved flopkins/flopkin.fkn");

    app missing;
    missing.loop.options.document = "nothing here.fkn";
    EXPECT_FALSE(missing.start_up(error));
    EXPECT_NE(error.find("nothing here.fkn"), std::string::npos);
    EXPECT_NE(error.find(std::strerror(ENOENT)), std::string::npos);
}

TEST_F(DocumentCommands, ShutDownWritesTheOutputRenumbered) {
    auto p = put_ball(a.figure, 1, 2);
    auto q = put_ball(a.figure, 3, 4);
    auto r = put_ball(a.figure, 5, 6);
    a.figure.balls.remove(p.get());
    put_link(a.figure, q, r, 4);
    put_tension(a.figure, q, r, q, 12, 3);
    a.shut_down();  // no output asked for
    EXPECT_EQ(entries(), 0u);
    a.loop.options.output = "after.fkn";
    a.shut_down();
    EXPECT_EQ(q->number, 1);
    EXPECT_EQ(get("after.fkn"), figure_bytes(a.figure));
    EXPECT_EQ(get("after.fkn").size(), 3 + 2 * 42 + 38 + 33u);
}

}  // namespace flopkin
