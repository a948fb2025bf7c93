#pragma once
// Which packages the updater uses: when its own file carries an Authenticode
// signature, only packages that the system's check accepts and that are
// signed with the very certificate the updater is signed with (same SHA-1
// thumbprint). An unsigned updater (a developer build) uses every package and
// says so in its log.
#include <memory>

#include "updater/HeldPackage.h"
#include "updater/SignatureVerifier.h"

namespace MsiInstaller {

class PackageTrust {
public:
    // `own` is the updater's own signature as `verifier` read it.
    PackageTrust(std::shared_ptr<const SignatureVerifier> verifier, Signature own);

    // Trust anchored in the running program's file, read by the system's check.
    static std::shared_ptr<const PackageTrust> OfThisProgram();

    // True when the package may be installed or started. Writes the record
    // that names why not (cannot open, no signature, signature invalid, other
    // signer) or, for an unsigned updater, one warning.
    bool Admit(const HeldPackage& package) const;

private:
    std::shared_ptr<const SignatureVerifier> verifier_;
    Signature own_;
};

}  // namespace MsiInstaller
