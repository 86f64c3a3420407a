// The setup engine: owns the embedded lists and the extraction component, and offers the operations
// the setup window builds on.
#pragma once
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "archive/zip_extractor.h"
#include "engine/catalogue.h"
#include "engine/catalogue_answer.h"
#include "engine/word_lists.h"
#include "engine/zip_package.h"

namespace ks {

// The catalogue as served: its bytes when the answer is Read.
struct FetchedCatalogue {
    CatalogueAnswer answer = CatalogueAnswer::Unreachable;
    std::string bytes;
};

class TDMBase {
public:
    // Runs DataModuleCreate; failures are shown in the standard error box and creation goes on.
    TDMBase();
    virtual ~TDMBase();
    TDMBase(const TDMBase&) = delete;
    TDMBase& operator=(const TDMBase&) = delete;

    // Lists. Entries that do not exist read as "".
    std::string GetEntry(int index, int kind) const { return lists_.GetEntry(index, kind); }
    std::string Word(int index) const { return lists_.Word(index); }
    std::string UpperWord(int index) const { return lists_.UpperWord(index); }
    std::string DotWord(int index) const { return lists_.DotWord(index); }
    std::string WordDotWord(int first, int second) const {
        return lists_.WordDotWord(first, second);
    }
    std::string Message(int index) const { return lists_.Message(index); }
    std::string LibraryEntry(int index) const { return lists_.LibraryEntry(index); }
    const EmbeddedLists& Lists() const { return lists_; }

    // Raises "Fatal error: resources.dll not found" when the resource cannot be opened.
    std::string OpenListResource(const std::string& name) const;
    StringList LoadList(const std::string& name, bool descramble) const;
    void LoadWordList();
    virtual void LoadNamedLists();

    // Message forms.
    bool AskText(const std::string& text, bool twoButtons);
    bool AskMessage(int index, bool twoButtons);

    // Package catalogue (the records belong to the installation).
    bool MarkerFlag() const { return markerFlag_; }
    std::string ServerUrl(const std::string& path) const;
    std::string SuffixedServerUrl(const std::string& path) const;
    std::string CatalogueUrl() const;
    // The detached signature beside the catalogue.
    std::string CatalogueSignatureUrl() const;
    // With the library's catalogue key set, a catalogue counts only when the signature beside
    // it verifies over its exact bytes; with the key empty no signature is asked for. Both
    // are tried again as a package download is; onRetry hears of each retry.
    FetchedCatalogue DownloadCatalogue(const std::function<void(int retry)>& onRetry = {}) const;
    // Fills the records from a catalogue that was Read; otherwise they keep their values.
    CatalogueAnswer RefreshPackages(std::initializer_list<TZipPackage*> packages,
                                    const std::function<void(int retry)>& onRetry = {});

    // Archive extraction: the component and the operation that drives it.
    archive::ZipExtractor UnZipper;
    // False when an error escaped the component or any member failed.
    bool ExtractArchive(const std::string& filePath, const std::string& targetFolder,
                        const std::string& mask);
    void UnZipperConfirmOverwrite(std::string& targetPath, bool& confirm);

    // Installed state.
    void RemoveUserKey();
    bool CloseRunningProduct();

protected:
    void DataModuleCreate();
    // The executable whose lists and marker file the engine reads.
    virtual std::string ExecutablePath() const;

private:
    bool MarkerFileExists() const;
    std::string CataloguePathOnServer() const;

    EmbeddedLists lists_;
    StringList rawWordLines_;
    bool markerFlag_ = false;
};

} // namespace ks
