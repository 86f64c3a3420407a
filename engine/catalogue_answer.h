// What asking the package server for its catalogue gave, signature check included.
#pragma once

namespace ks {

enum class CatalogueAnswer {
    Read,             // a catalogue; with a key set, one whose signature verified
    Empty,            // an empty reply: no catalogue, and nothing changes
    Unreachable,      // the catalogue could not be fetched
    SignatureMissing, // a key is set and no signature could be fetched
    SignatureWrong,   // a key is set and the signature does not verify
};

// Read and Empty; the others count as an unreachable server.
bool CatalogueReceived(CatalogueAnswer answer);

const char* CatalogueAnswerName(CatalogueAnswer answer);

} // namespace ks
