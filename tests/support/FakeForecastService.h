// A small HTTP server on 127.0.0.1 that stands in for the forecast service.
// Each request is answered by the test's handler, which can also make the
// answer misbehave: hang, stop half-way, or never end.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace OBPumpTest {

struct FakeRequest {
    std::string target;  // "/v1/forecast?latitude=..."
    std::string path;    // "/v1/forecast"
    std::map<std::string, std::string> query;
    std::string userAgent;
};

struct FakeReply {
    enum class Kind {
        Normal,     // status and body as given
        Hang,       // never answers; waits until the client gives up
        Truncated,  // announces twice the body's length, sends the body, closes
        Endless,    // streams filler bytes without a length until the client hangs up
    };
    Kind kind = Kind::Normal;
    int status = 200;
    std::string body;
};

class FakeForecastService {
public:
    using Handler = std::function<FakeReply(const FakeRequest&)>;

    explicit FakeForecastService(Handler handler);
    ~FakeForecastService();
    FakeForecastService(const FakeForecastService&) = delete;
    FakeForecastService& operator=(const FakeForecastService&) = delete;

    // The endpoint to hand to the downloader ("http://127.0.0.1:PORT/v1/forecast").
    std::string Url() const;
    int Port() const { return m_port; }
    std::vector<FakeRequest> Requests() const;

private:
    void Serve();
    void Answer(int connection);

    Handler m_handler;
    int m_listener = -1;
    int m_wakePipe[2] = {-1, -1};
    int m_port = 0;
    mutable std::mutex m_lock;
    std::vector<FakeRequest> m_requests;
    std::thread m_thread;
};

// Holds the service's answers until the test lets them go, so the test can
// look at the downloader while it is in the middle of a fetch. A handler
// calls WaitOpen; the wait is bounded, so a failing test cannot hang the
// service thread for ever.
class Gate {
public:
    void WaitOpen() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_waiting = true;
        m_changed.wait_for(lock, std::chrono::seconds(15), [&] { return m_open; });
    }
    bool SomeoneWaiting() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_waiting;
    }
    void Open() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
    bool m_waiting = false;
};

// An answer in the service's JSON form: `days` dates from `firstDate`
// ("2026-12-07"), each day's values derived from the day index so tests can
// check them (see the .cpp).
std::string ForecastJson(const std::string& firstDate, int days, double temperatureBase = 10.0,
                         const std::string& timezone = "Europe/London");

}  // namespace OBPumpTest
