// One HTTP(S) GET at a time through libcurl, with the guards a background
// downloader needs: verified TLS, connect and total time limits, and a cap on
// how much of an answer is kept in memory.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace OBPump {

struct HttpOptions {
    long connectTimeoutMs = 10'000;
    long totalTimeoutMs = 30'000;
    std::size_t maxBodyBytes = 1 << 20;  // a 7-day daily answer is about 1 KB
    std::string userAgent;
};

enum class HttpOutcome {
    Ok,            // a 2xx answer, body complete
    HttpError,     // the server answered with another status
    Timeout,       // connect or total time limit reached
    TooLarge,      // the body went past maxBodyBytes
    Abandoned,     // the abort check asked to stop
    NetworkError,  // anything else: refused, reset, cut short, TLS failure
};

struct HttpResponse {
    HttpOutcome outcome = HttpOutcome::NetworkError;
    long status = 0;    // HTTP status when one was received
    std::string body;   // the body received (partial on failures)
    std::string error;  // a short description for the log, empty on success
};

const char* OutcomeName(HttpOutcome outcome);

// The User-Agent the downloader sends: names the program and its version.
std::string DefaultUserAgent();

class HttpClient {
public:
    explicit HttpClient(HttpOptions options);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    HttpResponse Get(const std::string& url);

    // Asked about once a second during a request; true abandons it.
    void SetAbortCheck(std::function<bool()> check) { m_abortCheck = std::move(check); }

    const HttpOptions& Options() const { return m_options; }

private:
    HttpOptions m_options;
    void* m_handle;  // CURL*, reused so that keep-alive connections are shared
    std::function<bool()> m_abortCheck;
};

}  // namespace OBPump
