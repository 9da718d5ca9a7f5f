#include "support/FakeForecastService.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace OBPumpTest {
namespace {

std::string Decode(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

FakeRequest ParseRequest(const std::string& head) {
    FakeRequest request;
    const auto firstSpace = head.find(' ');
    const auto secondSpace = head.find(' ', firstSpace + 1);
    if (firstSpace == std::string::npos || secondSpace == std::string::npos)
        return request;
    request.target = head.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    const auto question = request.target.find('?');
    request.path = request.target.substr(0, question);
    if (question != std::string::npos) {
        std::string rest = request.target.substr(question + 1);
        size_t start = 0;
        while (start <= rest.size()) {
            const auto amp = rest.find('&', start);
            const std::string pair =
                rest.substr(start, amp == std::string::npos ? std::string::npos : amp - start);
            const auto eq = pair.find('=');
            if (eq != std::string::npos)
                request.query[pair.substr(0, eq)] = Decode(pair.substr(eq + 1));
            if (amp == std::string::npos)
                break;
            start = amp + 1;
        }
    }
    const std::string key = "\r\nUser-Agent: ";
    if (const auto ua = head.find(key); ua != std::string::npos) {
        const auto end = head.find("\r\n", ua + key.size());
        request.userAgent = head.substr(ua + key.size(), end - ua - key.size());
    }
    return request;
}

bool SendAll(int fd, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

const char* Reason(int status) {
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

}  // namespace

FakeForecastService::FakeForecastService(Handler handler) : m_handler(std::move(handler)) {
    // A proxy set in the environment must not stand between the tests and 127.0.0.1.
    ::setenv("no_proxy", "127.0.0.1,localhost", 1);
    ::setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    if (::pipe(m_wakePipe) != 0)
        throw std::runtime_error("pipe");
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 16) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    socklen_t length = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

FakeForecastService::~FakeForecastService() {
    const char byte = 'x';
    [[maybe_unused]] auto n = ::write(m_wakePipe[1], &byte, 1);
    m_thread.join();
    ::close(m_listener);
    ::close(m_wakePipe[0]);
    ::close(m_wakePipe[1]);
}

std::string FakeForecastService::Url() const {
    return "http://127.0.0.1:" + std::to_string(m_port) + "/v1/forecast";
}

std::vector<FakeRequest> FakeForecastService::Requests() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_requests;
}

void FakeForecastService::Serve() {
    for (;;) {
        pollfd fds[2] = {{m_listener, POLLIN, 0}, {m_wakePipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents)
            return;
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        Answer(connection);
        ::close(connection);
    }
}

void FakeForecastService::Answer(int connection) {
    // Read the request head; the stop pipe ends any wait.
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        pollfd fds[2] = {{connection, POLLIN, 0}, {m_wakePipe[0], POLLIN, 0}};
        if (::poll(fds, 2, 5000) <= 0 || fds[1].revents)
            return;
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        head.append(buffer, static_cast<size_t>(n));
    }
    const FakeRequest request = ParseRequest(head);
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_requests.push_back(request);
    }
    const FakeReply reply = m_handler(request);
    const std::string statusLine =
        "HTTP/1.1 " + std::to_string(reply.status) + " " + Reason(reply.status) + "\r\n";

    switch (reply.kind) {
    case FakeReply::Kind::Normal:
        SendAll(connection, statusLine + "Content-Type: application/json\r\nContent-Length: " +
                                std::to_string(reply.body.size()) + "\r\nConnection: close\r\n\r\n" +
                                reply.body);
        break;
    case FakeReply::Kind::Truncated:
        SendAll(connection, statusLine + "Content-Type: application/json\r\nContent-Length: " +
                                std::to_string(reply.body.size() * 2) + "\r\nConnection: close\r\n\r\n" +
                                reply.body);
        break;
    case FakeReply::Kind::Hang:
        // Wait for the client to give up (it closes) or for the service to stop.
        for (;;) {
            pollfd fds[2] = {{connection, POLLIN, 0}, {m_wakePipe[0], POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 || fds[1].revents)
                return;
            if (::recv(connection, buffer, sizeof buffer, 0) <= 0)
                return;
        }
    case FakeReply::Kind::Endless: {
        if (!SendAll(connection, statusLine + "Content-Type: application/json\r\nConnection: close\r\n\r\n["))
            return;
        const std::string filler(65536, ' ');
        // 256 MB at most, so a client without a bound still ends.
        for (int i = 0; i < 4096; ++i) {
            pollfd stop = {m_wakePipe[0], POLLIN, 0};
            if (::poll(&stop, 1, 0) > 0 || !SendAll(connection, filler))
                return;
        }
        break;
    }
    }
}

std::string ForecastJson(const std::string& firstDate, int days, double temperatureBase,
                         const std::string& timezone) {
    int year = 0, month = 0, day = 0;
    std::sscanf(firstDate.c_str(), "%d-%d-%d", &year, &month, &day);
    auto list = [&](auto value) {
        std::string text = "[";
        for (int i = 0; i < days; ++i)
            text += (i ? "," : "") + value(i);
        return text + "]";
    };
    auto number = [](double v) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.1f", v);
        return std::string(buffer);
    };
    static const int codes[] = {0, 3, 63, 71, 95, 45, 2, 81};
    std::string json = "{\"latitude\":51.5,\"longitude\":-0.12,\"utc_offset_seconds\":0,\"timezone\":\"" +
                       timezone +
                       "\",\"daily_units\":{\"time\":\"iso8601\",\"temperature_2m_max\":\"\xC2\xB0"
                       "C\"},\"daily\":{";
    json += "\"time\":" + list([&](int i) {
                // Consecutive dates within one month are all the tests need.
                char buffer[16];
                std::snprintf(buffer, sizeof buffer, "\"%04d-%02d-%02d\"", year, month, day + i);
                return std::string(buffer);
            });
    json += ",\"weather_code\":" + list([&](int i) { return std::to_string(codes[i % 8]); });
    json += ",\"temperature_2m_max\":" + list([&](int i) { return number(temperatureBase + i); });
    json += ",\"temperature_2m_min\":" + list([&](int i) { return number(temperatureBase - 5 - i); });
    json += ",\"precipitation_sum\":" + list([&](int i) { return number(i * 1.5); });
    json += ",\"precipitation_probability_max\":" + list([&](int i) { return std::to_string(i * 10); });
    json += ",\"wind_speed_10m_max\":" + list([&](int i) { return number(10 + i * 2.5); });
    json += ",\"wind_direction_10m_dominant\":" + list([&](int i) { return std::to_string(i * 45); });
    json += "}}";
    return json;
}

}  // namespace OBPumpTest
