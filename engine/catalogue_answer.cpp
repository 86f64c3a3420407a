#include "engine/catalogue_answer.h"

namespace ks {

bool CatalogueReceived(CatalogueAnswer answer) {
    return answer == CatalogueAnswer::Read || answer == CatalogueAnswer::Empty;
}

const char* CatalogueAnswerName(CatalogueAnswer answer) {
    switch (answer) {
    case CatalogueAnswer::Read:
        return "read";
    case CatalogueAnswer::Empty:
        return "empty";
    case CatalogueAnswer::Unreachable:
        return "could not be fetched";
    case CatalogueAnswer::SignatureMissing:
        return "has no signature";
    case CatalogueAnswer::SignatureWrong:
        return "has a signature that does not verify";
    }
    return "";
}

} // namespace ks
