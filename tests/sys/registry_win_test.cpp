// Typed registry reads and tree removal against Wine's registry.
#include "sys/registry_win.h"

#include <gtest/gtest.h>

#include "sys/errors.h"
#include "sys/unique_handle_win.h"

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key_.Put(), nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        key_.Reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }
    void Set(const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExA(key_.Get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    void SetText(const char* name, DWORD type, const std::string& text) {
        Set(name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    std::string ErrorOf(void (*read)(HKEY, const std::string&), const std::string& name) {
        try {
            read(key_.Get(), name);
        } catch (const ks::Error& error) {
            return error.what();
        }
        return "no error";
    }

    std::string path_ = "Software\\KsTestRegistry" + std::to_string(GetCurrentProcessId());
    ks::UniqueRegKey key_;
};

void ReadString(HKEY key, const std::string& name) {
    ks::ReadRegistryString(key, name);
}
void ReadInteger(HKEY key, const std::string& name) {
    ks::ReadRegistryInteger(key, name);
}

TEST_F(RegistryTest, ReadsPlainAndExpandableStrings) {
    SetText("Plain", REG_SZ, "C:\\Program Files\\Keltra");
    SetText("Expand", REG_EXPAND_SZ, "%ProgramFiles%\\Keltra");
    EXPECT_EQ(ks::ReadRegistryString(key_.Get(), "Plain"), "C:\\Program Files\\Keltra");
    EXPECT_EQ(ks::ReadRegistryString(key_.Get(), "Expand"), "%ProgramFiles%\\Keltra");
    EXPECT_EQ(ks::ReadRegistryString(key_.Get(), "Missing"), "");
    EXPECT_FALSE(ks::RegistryValueExists(key_.Get(), "Missing"));
    EXPECT_TRUE(ks::RegistryValueExists(key_.Get(), "Plain"));
}

TEST_F(RegistryTest, LongStringsAreReadWhole) {
    const std::string path = "C:\\" + std::string(5000, 'x');
    SetText("Long", REG_SZ, path);
    EXPECT_EQ(ks::ReadRegistryString(key_.Get(), "Long"), path);
}

TEST_F(RegistryTest, StringsStopAtTheirFirstZero) {
    Set("Embedded", REG_SZ, "ab\0cd", 6);
    Set("Unterminated", REG_SZ, "abc", 3);
    EXPECT_EQ(ks::ReadRegistryString(key_.Get(), "Embedded"), "ab");
    EXPECT_EQ(ks::ReadRegistryString(key_.Get(), "Unterminated"), "abc");
}

TEST_F(RegistryTest, WrongTypesRaiseErrorsThatNameTheValue) {
    const DWORD number = 1;
    const unsigned char eight[8] = {1};
    Set("Number", REG_DWORD, &number, sizeof number);
    SetText("Text", REG_SZ, "1");
    Set("Binary4", REG_BINARY, &number, sizeof number);
    Set("Binary8", REG_BINARY, eight, sizeof eight);
    EXPECT_EQ(ErrorOf(ReadString, "Number"), "Invalid data type for 'Number'");
    EXPECT_EQ(ErrorOf(ReadInteger, "Binary4"), "Invalid data type for 'Binary4'");
    EXPECT_EQ(ErrorOf(ReadInteger, "Binary8"), "Failed to get data for 'Binary8'");
    EXPECT_EQ(ErrorOf(ReadInteger, "Missing"), "Failed to get data for 'Missing'");
    EXPECT_EQ(ErrorOf(ReadInteger, "Number"), "no error");
    EXPECT_EQ(ks::ReadRegistryInteger(key_.Get(), "Number"), 1);
}

TEST_F(RegistryTest, DeletesATreeAndKeepsItsParent) {
    ks::UniqueRegKey deep;
    ASSERT_EQ(RegCreateKeyExA(key_.Get(), "Product\\Settings\\Deep", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, deep.Put(), nullptr),
              ERROR_SUCCESS);
    deep.Reset();
    EXPECT_TRUE(ks::DeleteRegistryTree(key_.Get(), "Product"));
    ks::UniqueRegKey gone;
    EXPECT_NE(RegOpenKeyExA(key_.Get(), "Product", 0, KEY_READ, gone.Put()), ERROR_SUCCESS);
    ks::UniqueRegKey parent;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, parent.Put()),
              ERROR_SUCCESS);
    EXPECT_TRUE(ks::DeleteRegistryTree(key_.Get(), "Product"));
}

TEST_F(RegistryTest, EmptySubkeyNameDeletesNothing) {
    ks::UniqueRegKey child;
    ASSERT_EQ(RegCreateKeyExA(key_.Get(), "Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              child.Put(), nullptr),
              ERROR_SUCCESS);
    SetText("Value", REG_SZ, "kept");
    EXPECT_FALSE(ks::DeleteRegistryTree(key_.Get(), ""));
    EXPECT_EQ(ks::ReadRegistryString(key_.Get(), "Value"), "kept");
    ks::UniqueRegKey stillThere;
    EXPECT_EQ(RegOpenKeyExA(key_.Get(), "Child", 0, KEY_READ, stillThere.Put()), ERROR_SUCCESS);
}

} // namespace
