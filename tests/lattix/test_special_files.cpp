// A FIFO where the library expects a crystal file, SYMGEN, APU or Orvane.conf: the call returns at
// once with a failure status instead of waiting for a writer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "lattixLib.h"
#include "system_folder_fixture.h"

namespace {

namespace fs = std::filesystem;
using lattix_test::CrystalFiles;
using lattix_test::errMsg;

// Runs call on a thread of its own and waits at most two seconds.  A call
// still blocked then is released by opening each FIFO for writing (the
// blocked reader then sees an empty file) so the test ends either way.
bool returnsInTime(const std::function<void()>& call, const std::vector<fs::path>& fifos) {
    std::packaged_task<void()> task(call);
    std::future<void> done = task.get_future();
    std::thread worker(std::move(task));
    const bool inTime = done.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        for (const fs::path& fifo : fifos) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
        }
    }
    worker.join();
    return inTime;
}

void makeFifo(const fs::path& path) {
    fs::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
}

using SpecialFiles = CrystalFiles;

TEST_F(SpecialFiles, FifoInPlaceOfAnyFileFailsAtOnce) {
    struct Case {
        const char* what;
        fs::path fifo;
        std::function<uint16_t()> call;  // the status the call reports
        uint16_t status;
    };
    const std::string good = crystalFile("good.cry", "VER3.1\nG\n\n11\n4 4 4 90 90 90\n");
    const Case cases[] = {
        {"crystal file", m_root / "fifo.cry", [&] { return init((m_root / "fifo.cry").string()); },
         5},
        {"SYMGEN", m_system / "SYMGEN", [&] { return initCubic(); }, 5},
        {"APU", m_system / "APU", [&] { return init(good); }, 5},
    };
    for (const Case& c : cases) {
        const fs::path saved = c.fifo.string() + ".saved";
        if (fs::exists(c.fifo)) fs::rename(c.fifo, saved);
        makeFifo(c.fifo);
        uint16_t status = 0;
        EXPECT_TRUE(returnsInTime([&] { status = c.call(); }, {c.fifo})) << c.what;
        EXPECT_EQ(status, c.status) << c.what;
        fs::remove(c.fifo);
        if (fs::exists(saved)) fs::rename(saved, c.fifo);
    }
    EXPECT_EQ(init((m_root / "fifo.cry").string()), 2);  // gone again: plain "not found"
    EXPECT_EQ(init(good), 0);
}

TEST_F(SpecialFiles, FifoOrvaneConfIsNoKey) {
    // A FIFO Orvane.conf in the first folder: the next folder's key is used.
    const fs::path first = m_root / "first";
    fs::create_directories(first);
    makeFifo(first / "Orvane.conf");
    const std::string dirs = first.string() + ":" + m_root.string();
    setenv("XDG_CONFIG_DIRS", dirs.c_str(), 1);
    uint16_t status = 1;
    EXPECT_TRUE(returnsInTime([&] { status = initCubic(); }, {first / "Orvane.conf"}));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(m_cs->SymOpCount, 24);
}

TEST_F(SpecialFiles, CommonSearchSkipsFifos) {
    const fs::path common = m_system / "COMMON";
    makeFifo(common / "Aaa.cry");  // first in name order
    uint16_t status = 1;
    EXPECT_TRUE(returnsInTime([&] { status = init("*.cry"); }, {common / "Aaa.cry"}));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::string(m_cs->FileName), (common / "Copper.cry").string());
    // A pattern that matches only the FIFO finds nothing.
    EXPECT_TRUE(returnsInTime([&] { status = init("aaa.*"); }, {common / "Aaa.cry"}));
    EXPECT_EQ(status, 2);
    EXPECT_EQ(errMsg(), "File not found");
}

TEST_F(SpecialFiles, DeviceIsRefusedLikeAnUnreadableFile) {
    // A character device never ends; it is no crystal file.
    uint16_t status = 0;
    EXPECT_TRUE(returnsInTime([&] { status = init("/dev/zero"); }, {}));
    EXPECT_EQ(status, 5);
    EXPECT_EQ(errMsg(), "File access denied");
}

}  // namespace

namespace {

// A good crystal file padded after line 5 (which is ignored) to size bytes.
std::string paddedCrystalFile(std::size_t size) {
    std::string text = "VER3.1\nBig\n\n11\n4 4 4 90 90 90\n";
    while (text.size() + 81 <= size)
        text += std::string(80, 'x') + "\n";
    text += std::string(size - text.size(), 'y');
    return text;
}

TEST_F(SpecialFiles, FilesOverTheLimitAreRefusedWithTheirText) {
    constexpr std::size_t kLimit = LATTIX_MAX_FILE_BYTES;
    ASSERT_EQ(paddedCrystalFile(kLimit).size(), kLimit);
    EXPECT_EQ(init(crystalFile("limit.cry", paddedCrystalFile(kLimit))), 0);
    EXPECT_EQ(init(crystalFile("over.cry", paddedCrystalFile(kLimit + 1))), 110);
    EXPECT_EQ(errMsg(), "File too large");

    // The setup data too: a SYMGEN over the limit is not read in part.
    std::string symgen;
    {
        std::ifstream in(m_system / "SYMGEN", std::ios::binary);
        symgen.assign(std::istreambuf_iterator<char>(in), {});
    }
    lattix_test::writeFile(m_system / "SYMGEN", symgen + std::string(kLimit, '\n'));
    EXPECT_EQ(initCubic(), 110);
}

}  // namespace
