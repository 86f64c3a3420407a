// Failures inside the standard library reach the program's std::exception handlers with the
// library's text, whichever helpers raise them.
#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace {

TEST(LibraryFailureTest, ArrivesAsStdExceptionWithItsText) {
    const struct {
        const char* name;
        std::function<void()> fail;
        const char* text;
    } cases[] = {
        {"out of range", [] { (void)std::string("ab").substr(3); },
         "basic_string::substr: __pos (which is 3) > this->size() (which is 2)"},
        {"length", [] { std::string().reserve(std::string().max_size() + 1); }, "basic_string"},
        {"vector at", [] { (void)std::vector<int>().at(0); }, "vector"},
        {"empty function", [] { std::function<void()>()(); }, "function"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.fail();
            ADD_FAILURE() << "no error raised";
        } catch (const std::exception& error) {
            EXPECT_NE(std::string(error.what()).find(c.text), std::string::npos) << error.what();
        }
    }
}

} // namespace
