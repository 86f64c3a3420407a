#include "engine/form_dm_base.h"

#include "engine/descrambler.h"
#include "resources/list_names.h"
#include "sys/application.h"
#include "sys/errors.h"

namespace ks {

TDMBase::TDMBase() {
    DataModuleCreate();
}

TDMBase::~TDMBase() = default;

void TDMBase::DataModuleCreate() {
    try {
        UnZipper.OnConfirmOverwrite = [this](std::string& name, bool& confirm) {
            UnZipperConfirmOverwrite(name, confirm);
        };
        LoadWordList();
        markerFlag_ = MarkerFileExists();
    } catch (const std::exception& error) {
        ShowErrorBox(error.what());
    }
}

StringList TDMBase::LoadList(const std::string& name, bool descramble) const {
    StringList lines = SplitLines(OpenListResource(name));
    return descramble ? DecodeLines(lines) : lines;
}

void TDMBase::LoadWordList() {
    const std::string path = ExecutablePath();
    const std::string name = path.size() >= 3 ? path.substr(path.size() - 3) : path;
    rawWordLines_ = LoadList(name, true);
    lists_.words = SplitWords(rawWordLines_);
    LoadNamedLists();
}

void TDMBase::LoadNamedLists() {
    rawWordLines_.clear();
    lists_.messages = LoadList(UpperWord(word::kMessageResource), true);
    lists_.library = LoadList(UpperWord(word::kLibraryResource), true);
}

} // namespace ks
