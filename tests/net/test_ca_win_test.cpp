// Trusts the loopback server's test CA in this Wine prefix's current-user root store for the
// run of the test program, and removes it again at the end. Registry stores write their
// changes back only when committed.
#include <windows.h>

#include <wincrypt.h>

#include "tests/net/loopback_win.h"

namespace kstest {
namespace {

class TestCaEnvironment : public testing::Environment {
public:
    void SetUp() override {
        const std::string der = ReadFileBytes(Loopback::Get().Path("certs\\ca.der"));
        if (der.empty())
            return;
        ca_ = CertCreateCertificateContext(X509_ASN_ENCODING,
                                           reinterpret_cast<const BYTE*>(der.data()),
                                           static_cast<DWORD>(der.size()));
        HCERTSTORE store = OpenRoot();
        if (!ca_ || !store)
            return;
        CertAddCertificateContextToStore(store, ca_, CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
        CertControlStore(store, 0, CERT_STORE_CTRL_COMMIT, nullptr);
        CertCloseStore(store, 0);
    }

    void TearDown() override {
        HCERTSTORE store = ca_ ? OpenRoot() : nullptr;
        if (store) {
            while (PCCERT_CONTEXT found = CertFindCertificateInStore(
                       store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, ca_, nullptr))
                CertDeleteCertificateFromStore(found); // frees found
            CertControlStore(store, 0, CERT_STORE_CTRL_COMMIT, nullptr);
            CertCloseStore(store, 0);
        }
        if (ca_)
            CertFreeCertificateContext(ca_);
        ca_ = nullptr;
    }

private:
    static HCERTSTORE OpenRoot() {
        return CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_A, 0, 0,
                             CERT_SYSTEM_STORE_CURRENT_USER, "Root");
    }

    PCCERT_CONTEXT ca_ = nullptr;
};

[[maybe_unused]] testing::Environment* const kTestCa =
    testing::AddGlobalTestEnvironment(new TestCaEnvironment);

} // namespace
} // namespace kstest
