// SPDX-License-Identifier: MIT
// The real backend through the six ModPlug_* calls, on SDL's dummy audio
// driver (set by CTest), so the callback really runs on SDL's audio thread.
#include <gtest/gtest.h>

#include <SDL.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "musicplayer/openmpt_backend.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Sends stdout and stderr to a file while alive; text() says what was written.
class OutputTrap {
public:
    OutputTrap() : path_(fs::temp_directory_path() / ("music-trap-" + std::to_string(::getpid()))) {
        std::fflush(stdout);
        std::fflush(stderr);
        int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        savedOut_ = ::dup(1);
        savedErr_ = ::dup(2);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        ::close(fd);
    }
    std::string text() {
        restore();
        std::ifstream in(path_);
        std::string s{std::istreambuf_iterator<char>(in), {}};
        fs::remove(path_);
        return s;
    }
    ~OutputTrap() { restore(); }

private:
    void restore() {
        if (savedOut_ < 0) return;
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(savedOut_, 1);
        ::dup2(savedErr_, 2);
        ::close(savedOut_);
        ::close(savedErr_);
        savedOut_ = savedErr_ = -1;
    }
    fs::path path_;
    int savedOut_ = -1, savedErr_ = -1;
};

class MusicBackend : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);  // never a real sound card from a test
        ASSERT_TRUE(choosePlayerBackend("real"));
        dir_ = fs::temp_directory_path() / ("music-test-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        choosePlayerBackend("null");
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        for (auto& e : fs::recursive_directory_iterator(dir_)) fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
        // Every instance is gone, so the backend must have let SDL audio go too.
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    }
    fs::path write(const std::string& name, const std::vector<char>& bytes) {
        fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return p;
    }
    static std::vector<char> moonlite() {
        std::ifstream in(HVEZDA_MOONLITE, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Runs the start-up sequence and the teardown on `path` with all output
    // trapped; returns what Load said. Nothing may be printed, and Play must
    // succeed exactly when there is a song.
    int32_t expectQuiet(const std::string& path) {
        OutputTrap trap;
        int32_t h = ModPlug_CreateEx("loop|true");
        ModPlug_SetWindow(h, 77);
        int32_t loaded = ModPlug_Load(h, path.c_str());
        int32_t played = ModPlug_Play(h);
        OpenmptInstanceState st = openmptInstanceState(h);
        ModPlug_Stop(h);
        ModPlug_Destroy(h);
        std::string said = trap.text();
        EXPECT_GT(h, 0);
        EXPECT_EQ(played, loaded) << path;
        EXPECT_TRUE(st.exists);
        EXPECT_EQ(st.loaded, loaded == 1);
        EXPECT_EQ(st.playing, played == 1);
        EXPECT_FALSE(openmptInstanceState(h).exists);
        EXPECT_EQ(said, "") << path;
        return loaded;
    }
    void expectQuietFailure(const std::string& path) { EXPECT_EQ(expectQuiet(path), 0) << path; }
    fs::path dir_;
};

bool waitFor(int32_t h, uint64_t frames, std::chrono::milliseconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (openmptInstanceState(h).nonZeroFrames >= frames) return true;
        std::this_thread::sleep_for(5ms);
    }
    return false;
}

}  // namespace

TEST_F(MusicBackend, StartUpSequencePlaysOurSong) {
    int32_t h = ModPlug_CreateEx("loop|true");
    ASSERT_GT(h, 0);
    EXPECT_EQ(ModPlug_SetWindow(h, 4242), 1);
    EXPECT_EQ(ModPlug_Load(h, HVEZDA_MOONLITE), 1);
    EXPECT_EQ(ModPlug_Play(h), 1);
    // Play returns at once; the sound comes from SDL's thread afterwards.
    EXPECT_TRUE(waitFor(h, 4800, 3000ms)) << "callbacks: " << openmptInstanceState(h).callbacks;
    OpenmptInstanceState st = openmptInstanceState(h);
    EXPECT_TRUE(st.looping && st.loaded && st.playing);
    EXPECT_EQ(ModPlug_Stop(h), 1);
    uint64_t callbacks = openmptInstanceState(h).callbacks;
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(openmptInstanceState(h).callbacks, callbacks) << "callback ran after Stop";
    EXPECT_EQ(ModPlug_Destroy(h), 1);
    EXPECT_FALSE(openmptInstanceState(h).exists);
}

// The platform's pause holds the sound output, for a player made meanwhile
// too; at volume 0 the song goes on, silent.
TEST_F(MusicBackend, PausedOutputHoldsAndVolumeZeroIsSilent) {
    int32_t h = ModPlug_CreateEx("loop|true");
    ASSERT_EQ(ModPlug_Load(h, HVEZDA_MOONLITE), 1);
    pausePlayerOutput(true);
    ASSERT_EQ(ModPlug_Play(h), 1);
    std::this_thread::sleep_for(80ms);
    EXPECT_EQ(openmptInstanceState(h).callbacks, 0u);
    pausePlayerOutput(false);
    EXPECT_TRUE(waitFor(h, 4800, 3000ms));
    pausePlayerOutput(true);
    std::this_thread::sleep_for(40ms);  // a callback under way finishes
    const uint64_t held = openmptInstanceState(h).callbacks;
    std::this_thread::sleep_for(80ms);
    EXPECT_EQ(openmptInstanceState(h).callbacks, held);
    setPlayerVolume(0);
    pausePlayerOutput(false);
    std::this_thread::sleep_for(40ms);
    const OpenmptInstanceState silent = openmptInstanceState(h);
    std::this_thread::sleep_for(80ms);
    EXPECT_GT(openmptInstanceState(h).callbacks, silent.callbacks);
    EXPECT_EQ(openmptInstanceState(h).nonZeroFrames, silent.nonZeroFrames);
    setPlayerVolume(100);
    ModPlug_Destroy(h);
}

TEST_F(MusicBackend, ParametersAreKeyValuePairsAndUnknownKeysAreIgnored) {
    struct Case { const char* params; bool loop; } cases[] = {
        {"loop|true", true}, {"loop|false", false}, {"", false}, {nullptr, false},
        {"volume|3|loop|1", true}, {"LOOP|True", true}, {"loop", false}, {"true|loop", false},
    };
    for (const Case& c : cases) {
        int32_t h = ModPlug_CreateEx(c.params);
        ASSERT_GT(h, 0);
        EXPECT_EQ(openmptInstanceState(h).looping, c.loop) << (c.params ? c.params : "(null)");
        ModPlug_Destroy(h);
    }
}

TEST_F(MusicBackend, HandlesAreNeverReused) {
    int32_t a = ModPlug_CreateEx("loop|true");
    int32_t b = ModPlug_CreateEx("loop|true");
    EXPECT_NE(a, b);
    ModPlug_Destroy(a);
    int32_t c = ModPlug_CreateEx("loop|true");
    EXPECT_NE(c, a);
    EXPECT_NE(c, b);
    EXPECT_FALSE(openmptInstanceState(a).exists);
    ModPlug_Destroy(b);
    ModPlug_Destroy(c);
}

TEST_F(MusicBackend, RepeatedAndOutOfOrderCallsAreSafe) {
    int32_t h = ModPlug_CreateEx("loop|true");
    EXPECT_EQ(ModPlug_Stop(h), 0);  // never played
    EXPECT_EQ(ModPlug_Play(h), 0);  // nothing loaded
    ASSERT_EQ(ModPlug_Load(h, HVEZDA_MOONLITE), 1);
    EXPECT_EQ(ModPlug_Play(h), 1);
    EXPECT_EQ(ModPlug_Play(h), 1);  // already playing: same device
    EXPECT_TRUE(waitFor(h, 1, 3000ms));
    // Loading again replaces the song and stops the old one.
    EXPECT_EQ(ModPlug_Load(h, HVEZDA_MOONLITE), 1);
    EXPECT_FALSE(openmptInstanceState(h).playing);
    EXPECT_EQ(ModPlug_Play(h), 1);
    EXPECT_EQ(ModPlug_Stop(h), 1);
    EXPECT_EQ(ModPlug_Stop(h), 0);
    EXPECT_EQ(ModPlug_Play(h), 1);  // and again after a stop
    EXPECT_EQ(ModPlug_Destroy(h), 1);  // while playing
    EXPECT_EQ(ModPlug_Destroy(h), 0);
}

TEST_F(MusicBackend, BadHandlesDoNothing) {
    int32_t dead = ModPlug_CreateEx("loop|true");
    ModPlug_Destroy(dead);
    for (int32_t h : {0, -5, 0x7fffffff, -0x7fffffff - 1, 999999, dead}) {
        EXPECT_EQ(ModPlug_SetWindow(h, 1), 0) << h;
        EXPECT_EQ(ModPlug_Load(h, HVEZDA_MOONLITE), 0) << h;
        EXPECT_EQ(ModPlug_Play(h), 0) << h;
        EXPECT_EQ(ModPlug_Stop(h), 0) << h;
        EXPECT_EQ(ModPlug_Destroy(h), 0) << h;
        EXPECT_FALSE(openmptInstanceState(h).exists) << h;
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);  // Play on a bad handle opened nothing
}

TEST_F(MusicBackend, MissingFileFailsQuietly) { expectQuietFailure((dir_ / "no-such-song.dat").string()); }
TEST_F(MusicBackend, EmptyPathFailsQuietly) { expectQuietFailure(""); }
TEST_F(MusicBackend, EmptyFileFailsQuietly) { expectQuietFailure(write("empty.dat", {}).string()); }
TEST_F(MusicBackend, DirectoryFailsQuietly) { expectQuietFailure(dir_.string()); }

TEST_F(MusicBackend, RandomBytesFailQuietly) {
    std::vector<char> junk(20000);
    uint32_t x = 12345;
    for (char& c : junk) {
        x = x * 1664525u + 1013904223u;
        c = static_cast<char>(x >> 24);
    }
    expectQuietFailure(write("junk.dat", junk).string());
}

TEST_F(MusicBackend, TruncatedModuleIsRefusedOrPlaysWhatIsThere) {
    auto song = moonlite();
    ASSERT_GT(song.size(), 2000u);
    // Without the whole header there is no song to speak of.
    for (std::size_t cut : {1u, 20u, 600u, 1083u})
        expectQuietFailure(write("cut.dat", {song.begin(), song.begin() + static_cast<long>(cut)}).string());
    // Cut anywhere after it, the library may keep what it got; either way quietly.
    for (std::size_t cut = 1084; cut < song.size(); cut += song.size() / 13)
        expectQuiet(write("cut.dat", {song.begin(), song.begin() + static_cast<long>(cut)}).string());
}

TEST_F(MusicBackend, UnreadableFileFailsQuietly) {
    fs::path p = write("locked.dat", moonlite());
    fs::permissions(p, fs::perms::none);
    if (::geteuid() != 0) return expectQuietFailure(p.string());
    // Root reads anything, so try it as an unprivileged user in a child.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0 || ::access(p.c_str(), R_OK) == 0) ::_exit(3);
        expectQuietFailure(p.string());
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3) GTEST_SKIP() << "root here cannot drop privileges, so no file is unreadable";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(MusicBackend, NoAudioDeviceFailsQuietly) {
    std::string saved = getenv("SDL_AUDIODRIVER") ? getenv("SDL_AUDIODRIVER") : "";
    setenv("SDL_AUDIODRIVER", "no-such-audio-driver", 1);
    OutputTrap trap;
    int32_t h = ModPlug_CreateEx("loop|true");
    ModPlug_SetWindow(h, 1);
    EXPECT_EQ(ModPlug_Load(h, HVEZDA_MOONLITE), 1);  // the song is fine, only the sound card is missing
    EXPECT_EQ(ModPlug_Play(h), 0);
    EXPECT_FALSE(openmptInstanceState(h).playing);
    EXPECT_EQ(ModPlug_Stop(h), 0);
    EXPECT_EQ(ModPlug_Destroy(h), 1);
    std::string said = trap.text();
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    EXPECT_EQ(said, "");
}
