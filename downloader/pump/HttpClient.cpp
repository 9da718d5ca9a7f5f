#include "downloader/pump/HttpClient.h"

#include <curl/curl.h>

#include <mutex>

#ifndef ORBELLINE_VERSION
#define ORBELLINE_VERSION "0"
#endif

namespace OBPump {
namespace {

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Sink {
    std::string* body;
    std::size_t limit;
    bool overflow = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const size_t n = size * count;
    if (sink->body->size() + n > sink->limit) {
        sink->overflow = true;
        return 0;  // makes curl stop with a write error
    }
    sink->body->append(data, n);
    return n;
}

int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* check = static_cast<const std::function<bool()>*>(user);
    return *check && (*check)() ? 1 : 0;
}

}  // namespace

const char* OutcomeName(HttpOutcome outcome) {
    switch (outcome) {
    case HttpOutcome::Ok: return "ok";
    case HttpOutcome::HttpError: return "HTTP error";
    case HttpOutcome::Timeout: return "timed out";
    case HttpOutcome::TooLarge: return "answer too large";
    case HttpOutcome::Abandoned: return "abandoned";
    case HttpOutcome::NetworkError: return "network error";
    }
    return "?";
}

std::string DefaultUserAgent() {
    return std::string("ForecastPumpCF/") + ORBELLINE_VERSION + " (Orbelline world clock)";
}

HttpClient::HttpClient(HttpOptions options) : m_options(std::move(options)), m_handle(nullptr) {
    GlobalInit();
    if (m_options.userAgent.empty())
        m_options.userAgent = DefaultUserAgent();
    m_handle = curl_easy_init();
}

HttpClient::~HttpClient() {
    if (m_handle)
        curl_easy_cleanup(static_cast<CURL*>(m_handle));
}

HttpResponse HttpClient::Get(const std::string& url) {
    HttpResponse response;
    CURL* curl = static_cast<CURL*>(m_handle);
    if (!curl) {
        response.error = "could not initialise libcurl";
        return response;
    }
    curl_easy_reset(curl);

    Sink sink{&response.body, m_options.maxBodyBytes};
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, m_options.userAgent.c_str());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, m_options.connectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, m_options.totalTimeoutMs);
    // Certificates and host names are always checked; there is no switch to turn that off.
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    // A redirect may not downgrade an encrypted request to plain HTTP.
    const bool secure = url.rfind("https://", 0) == 0;
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 3L);
    // Compressed answers are welcome; the size cap applies to the decoded bytes.
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    // An announced length above the cap is refused before any body is read.
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_options.maxBodyBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &m_abortCheck);

    const CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.status);

    if (code == CURLE_OK) {
        if (response.status >= 200 && response.status < 300) {
            response.outcome = HttpOutcome::Ok;
        } else {
            response.outcome = HttpOutcome::HttpError;
            response.error = "HTTP status " + std::to_string(response.status);
        }
        return response;
    }
    if (sink.overflow || code == CURLE_FILESIZE_EXCEEDED) {
        response.outcome = HttpOutcome::TooLarge;
        response.error = "answer larger than " + std::to_string(m_options.maxBodyBytes) + " bytes";
    } else if (code == CURLE_ABORTED_BY_CALLBACK) {
        response.outcome = HttpOutcome::Abandoned;
        response.error = "the downloader is stopping";
    } else if (code == CURLE_OPERATION_TIMEDOUT) {
        response.outcome = HttpOutcome::Timeout;
        response.error = errorText[0] ? errorText : curl_easy_strerror(code);
    } else {
        response.outcome = HttpOutcome::NetworkError;
        response.error = errorText[0] ? errorText : curl_easy_strerror(code);
    }
    return response;
}

}  // namespace OBPump
