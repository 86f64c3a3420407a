// ShellExecute result codes: which raise, with which text.
#include "sys/shell_result.h"

#include <gtest/gtest.h>

#include "sys/errors.h"

namespace {

TEST(CheckShellExecuteResultTest, ListedCodesRaiseTheirText) {
    const struct {
        long long code;
        const char* text;
    } cases[] = {
        {0, "The operating system is out of memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied access to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred."},
        {27, "The filename association is incomplete or invalid."},
        {28, "The DDE transaction could not be completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not be completed because other DDE transactions were "
             "being processed."},
        {31, "There is no application associated with the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        try {
            ks::CheckShellExecuteResult(c.code);
            ADD_FAILURE() << "no error raised";
        } catch (const ks::Error& error) {
            EXPECT_STREQ(error.what(), c.text);
        }
    }
}

TEST(CheckShellExecuteResultTest, OtherCodesReturn) {
    for (long long code : {1LL, 4LL, 6LL, 7LL, 9LL, 10LL, 12LL, 20LL, 25LL, 33LL, 42LL, -1LL}) {
        SCOPED_TRACE(code);
        EXPECT_NO_THROW(ks::CheckShellExecuteResult(code));
        EXPECT_EQ(ks::ShellExecuteErrorText(code),
                  code > 32 ? "" : ks::ShellExecuteErrorText(code));
    }
}

} // namespace
