#pragma once
// The stand-in update service started by the test bench (tools/servicebench):
// its instances, their configs and recorded requests, and the test CA.
#include <string>
#include <vector>

namespace test {

struct ServiceInstance {
    std::string name;
    int port = 0;
    std::string baseUrl;  // "http://localhost:PORT" or "https://localhost:PORT"
    std::string configPath;
    std::string requestsPath;
};

// "http", "https" (certificate from the test CA), "expired", "wronghost",
// "untrusted" (self-signed). Throws std::runtime_error when the bench does
// not run that instance.
const ServiceInstance& Service(const std::string& name);

// Package files served by GET by every instance; trailing backslash.
std::string ServiceFilesFolder();

// Replaces the instance's JSON config; the service reads it per request.
void SetServiceConfig(const ServiceInstance& service, const std::string& json);

// The requests the instance recorded, one JSON object per line.
std::vector<std::string> ServiceRequests(const ServiceInstance& service);
void ClearServiceRequests(const ServiceInstance& service);

// Adds the test CA to the current user's Root store of this Wine prefix, so
// that the "https" instance is trusted. Test bench only: on Windows this
// would ask the user.
bool TrustTestCa();

}  // namespace test
