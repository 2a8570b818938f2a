// A file written whole or not at all: what is left on disk when an output is finished, given up
// half-way, or fails; and the check that tells a whole picture from a cut one.
#include "sim/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "apps/common/plot_png.h"
#include "support/program_outcome.h"

namespace {

std::size_t files_in(const std::string& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}

}  // namespace

TEST(OutputFile, TheTargetChangesOnlyWhenTheOutputIsCommitted) {
    Scratch s("output_file");
    const std::string path = s.path("out.txt");
    std::ofstream(path) << "old";
    ::chmod(path.c_str(), 0640);
    std::string error;
    {
        sim::OutputFile out;
        ASSERT_TRUE(out.open(path, error)) << error;
        out.write("half of a new");
        EXPECT_EQ(read_file(path), "old") << "nothing shows before the commit";
    }
    EXPECT_EQ(read_file(path), "old") << "an output given up leaves the old file";
    EXPECT_EQ(files_in(s.dir), 1u) << "and no temporary file";

    sim::OutputFile out;
    ASSERT_TRUE(out.open(path, error)) << error;
    EXPECT_TRUE(out.write("new"));
    ASSERT_TRUE(out.commit(error)) << error;
    EXPECT_EQ(read_file(path), "new");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(files_in(s.dir), 1u);

    // A new file gets the usual permissions, not the temporary file's private ones.
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(sim::write_file_whole(s.path("fresh.txt"), "x", error)) << error;
    ::umask(mask);
    ASSERT_EQ(::stat(s.path("fresh.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST(OutputFile, WritesThatFailAreReportedWithTheReasonAndRefusedTargetsAreNotTouched) {
    Scratch s("output_file");
    const std::string full = s.path("full");
    ASSERT_EQ(::symlink("/dev/full", full.c_str()), 0);
    std::string error;
    EXPECT_FALSE(sim::write_file_whole(full, std::string(1 << 16, 'x'), error));
    EXPECT_EQ(error, "cannot write " + full + ": No space left on device");

    // A writer that opens files by name fails the same way once its bytes are copied in.
    sim::OutputFile out;
    ASSERT_TRUE(out.open(full, error)) << error;
    std::ofstream(out.by_name_path()) << "picture";
    EXPECT_FALSE(out.commit(error));
    EXPECT_EQ(error, "cannot write " + full + ": No space left on device");

    const std::string locked = s.path("locked");
    std::ofstream(locked) << "kept";
    ::chmod(locked.c_str(), 0444);
    EXPECT_FALSE(sim::write_file_whole(locked, "new", error));
    EXPECT_EQ(error, "cannot write " + locked + ": the file is read-only; it is not replaced");
    EXPECT_EQ(read_file(locked), "kept");
    EXPECT_FALSE(sim::write_file_whole(s.dir, "new", error));
    EXPECT_EQ(error, "cannot write " + s.dir + ": Is a directory");
    EXPECT_FALSE(sim::write_file_whole(s.path("none/x"), "new", error));
    EXPECT_EQ(error, "cannot write " + s.path("none/x") + ": No such file or directory");
}

TEST(OutputFile, APictureIsWholeOnlyWithEveryChunkToTheLastByte) {
    Scratch s("output_file");
    const std::string png = s.path("p.png");
    std::string error;
    ASSERT_TRUE(app::write_study_png(png, "speeds", {{"m/s", {1.0, 2.0, 2.5}, 3.0}}, {}, error))
        << error;
    ASSERT_TRUE(app::is_complete_png(png));
    const std::string whole = read_file(png);
    auto cut = [&](const std::string& bytes) {
        std::ofstream(s.path("cut.png"), std::ios::binary) << bytes;
        return app::is_complete_png(s.path("cut.png"));
    };
    EXPECT_TRUE(cut(whole));
    EXPECT_FALSE(cut(whole.substr(0, whole.size() - 1))) << "the last byte missing";
    EXPECT_FALSE(cut(whole.substr(0, whole.size() - 12))) << "the IEND chunk missing";
    EXPECT_FALSE(cut(whole + "x")) << "bytes after IEND";
    EXPECT_FALSE(cut(whole.substr(0, 100))) << "a picture cut short";
    EXPECT_FALSE(cut("")) << "an empty file";
    EXPECT_FALSE(cut("\x89PNG\r\n\x1a")) << "a signature cut short";
}
