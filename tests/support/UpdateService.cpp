#include "tests/support/UpdateService.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>


namespace test {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The bench folder as Wine sees it: the Unix path under drive Z:.
std::string BenchFolder() {
    const char* unixPath = std::getenv("RAVELIN_SERVICES");
    if (unixPath == nullptr || *unixPath == '\0')
        throw std::runtime_error("RAVELIN_SERVICES is not set: the service bench does not run");
    std::string path = std::string("Z:") + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    if (path.back() != '\\') path += '\\';
    return path;
}

ServiceInstance ReadInstance(const std::string& folder, const std::string& name) {
    ServiceInstance service;
    service.name = name;
    service.port = std::atoi(ReadFile(folder + name + ".port").c_str());
    if (service.port <= 0) throw std::runtime_error("service instance " + name + " is not running");
    service.baseUrl = std::string(name == "http" ? "http" : "https") + "://localhost:" + std::to_string(service.port);
    service.configPath = folder + name + ".json";
    service.requestsPath = folder + name + "-requests.jsonl";
    return service;
}

struct CertStoreCloser {
    void operator()(HCERTSTORE store) const { ::CertCloseStore(store, 0); }
};

}  // namespace

const ServiceInstance& Service(const std::string& name) {
    static std::mutex lock;
    static std::map<std::string, ServiceInstance> instances;
    std::lock_guard<std::mutex> guard(lock);
    auto found = instances.find(name);
    if (found == instances.end()) found = instances.emplace(name, ReadInstance(BenchFolder(), name)).first;
    return found->second;
}

std::string ServiceFilesFolder() { return BenchFolder() + "files\\"; }

void SetServiceConfig(const ServiceInstance& service, const std::string& json) {
    // Written aside and moved into place, so the service never reads half a config.
    const std::string temporary = service.configPath + ".new";
    std::ofstream(temporary, std::ios::binary | std::ios::trunc) << json;
    ::MoveFileExA(temporary.c_str(), service.configPath.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::vector<std::string> ServiceRequests(const ServiceInstance& service) {
    std::vector<std::string> lines;
    std::istringstream text(ReadFile(service.requestsPath));
    for (std::string line; std::getline(text, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

void ClearServiceRequests(const ServiceInstance& service) { ::DeleteFileA(service.requestsPath.c_str()); }

bool TrustTestCa() {
    const std::string pem = ReadFile(BenchFolder() + "ca\\ca.pem");
    DWORD size = 0;
    if (pem.empty() || !::CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                                               nullptr, &size, nullptr, nullptr))
        return false;
    std::string der(size, '\0');
    if (!::CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                                reinterpret_cast<BYTE*>(&der[0]), &size, nullptr, nullptr))
        return false;
    std::unique_ptr<void, CertStoreCloser> root(
        ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root"));
    return root && ::CertAddEncodedCertificateToStore(root.get(), X509_ASN_ENCODING,
                                                      reinterpret_cast<const BYTE*>(der.data()), size,
                                                      CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
}

}  // namespace test
