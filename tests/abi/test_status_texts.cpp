// Status texts of ErrMsg and the message-box hook.  White box: LastStatus is
// set only by crystal-file reads, so the tests set it directly.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "lattixLib.h"
#include "library_state.h"

namespace {

std::string errMsgFor(std::uint16_t status) {
    const std::uint16_t saved = lattix::lastStatus;
    lattix::lastStatus = status;
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    const char* result = ErrMsg(buffer);
    lattix::lastStatus = saved;
    EXPECT_EQ(result, buffer);
    const std::size_t len = std::strlen(buffer);
    EXPECT_LT(len, 39u) << status;  // fits the documented 39-byte buffer
    for (std::size_t i = len + 1; i < sizeof buffer; ++i)
        EXPECT_EQ(buffer[i], '#') << status;
    return buffer;
}

std::vector<std::pair<std::string, std::string>> shown;
void LATTIX_CALL record(const char* caption, const char* text) {
    shown.emplace_back(caption, text);
}

}  // namespace

TEST(StatusTexts, KnownCodes) {
    const std::pair<int, const char*> table[] = {
        {0, "Ok"},
        {1, "Insufficient memory for this operation"},
        {2, "File not found"},
        {3, "Path not found"},
        {4, "Too many open files"},
        {5, "File access denied"},
        {100, "Disk read error"},
        {101, "Disk write error"},
        {102, "File not assigned"},
        {103, "File not open"},
        {104, "File not open for input"},
        {105, "File not open for output"},
        {106, "Invalid numeric format"},
    };
    for (const auto& [code, text] : table)
        EXPECT_EQ(errMsgFor(static_cast<std::uint16_t>(code)), text);
}

TEST(StatusTexts, OtherCodesGiveTheirNumber) {
    EXPECT_EQ(errMsgFor(7), "Error number: 7");
    EXPECT_EQ(errMsgFor(6), "Error number: 6");
    EXPECT_EQ(errMsgFor(99), "Error number: 99");
    EXPECT_EQ(errMsgFor(107), "Error number: 107");
    EXPECT_EQ(errMsgFor(65535), "Error number: 65535");
}

TEST(StatusTexts, LoadStateIsOk) {
    EXPECT_EQ(lattix::lastStatus, 0);
    EXPECT_EQ(GetInitIoStatus(), 0);
    char buffer[39];
    EXPECT_STREQ(ErrMsg(buffer), "Ok");
}

TEST(MessageBoxHook, HandlerReceivesCaptionAndText) {
    shown.clear();
    SetMessageBoxHandler(record);
    lattix::showMessageBox("Orvane setup error", "SYMGEN");
    SetMessageBoxHandler(nullptr);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, "Orvane setup error");
    EXPECT_EQ(shown[0].second, "SYMGEN");
}

TEST(MessageBoxHook, WithoutHandlerCaptionAndTextGoToStderr) {
    SetMessageBoxHandler(nullptr);
    ::testing::internal::CaptureStderr();
    lattix::showMessageBox("Caption here", "text here");
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Caption here"), std::string::npos);
    EXPECT_NE(err.find("text here"), std::string::npos);
}
