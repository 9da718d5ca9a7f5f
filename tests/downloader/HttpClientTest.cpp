#include <gtest/gtest.h>

#include "support/FakeForecastService.h"
#include "downloader/pump/HttpClient.h"

using namespace OBPump;
using OBPumpTest::FakeForecastService;
using OBPumpTest::FakeReply;
using OBPumpTest::FakeRequest;

namespace {

HttpOptions Roomy() {
    HttpOptions options;
    options.connectTimeoutMs = 5000;
    options.totalTimeoutMs = 10'000;  // generous: a loaded machine must not fail good answers
    options.maxBodyBytes = 64 * 1024;
    return options;
}

HttpOptions Quick() {
    HttpOptions options = Roomy();
    options.totalTimeoutMs = 300;  // the hanging service gives up the test this fast
    return options;
}

}  // namespace

TEST(HttpClient, FetchesAndNamesItself) {
    FakeForecastService service([](const FakeRequest&) {
        return FakeReply{FakeReply::Kind::Normal, 200, "{\"a\":1}"};
    });
    HttpClient client(Roomy());
    const HttpResponse response = client.Get(service.Url() + "?latitude=1");
    EXPECT_EQ(response.outcome, HttpOutcome::Ok) << response.error;
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, "{\"a\":1}");
    ASSERT_EQ(service.Requests().size(), 1u);
    EXPECT_EQ(service.Requests()[0].query.at("latitude"), "1");
    EXPECT_EQ(service.Requests()[0].userAgent.rfind("ForecastPumpCF/", 0), 0u)
        << service.Requests()[0].userAgent;
    EXPECT_NE(service.Requests()[0].userAgent.find("Orbelline"), std::string::npos);

    // One client serves request after request.
    EXPECT_EQ(client.Get(service.Url()).outcome, HttpOutcome::Ok);
    EXPECT_EQ(service.Requests().size(), 2u);
}

TEST(HttpClient, TellsEveryKindOfFailureApart) {
    FakeForecastService service([](const FakeRequest& r) {
        const std::string mode = r.query.count("mode") ? r.query.at("mode") : "";
        if (mode == "500")
            return FakeReply{FakeReply::Kind::Normal, 500, "{\"error\":true,\"reason\":\"down\"}"};
        if (mode == "hang")
            return FakeReply{FakeReply::Kind::Hang, 200, ""};
        if (mode == "cut")
            return FakeReply{FakeReply::Kind::Truncated, 200, "{\"daily\":{\"time\":["};
        if (mode == "endless")
            return FakeReply{FakeReply::Kind::Endless, 200, ""};
        if (mode == "big")
            return FakeReply{FakeReply::Kind::Normal, 200, std::string(200 * 1024, ' ')};
        return FakeReply{FakeReply::Kind::Normal, 200, std::string(64 * 1024, ' ')};  // exactly the bound
    });
    HttpClient client(Roomy());
    HttpClient impatient(Quick());

    HttpResponse r = client.Get(service.Url() + "?mode=500");
    EXPECT_EQ(r.outcome, HttpOutcome::HttpError);
    EXPECT_EQ(r.status, 500);
    EXPECT_NE(r.body.find("down"), std::string::npos);

    r = impatient.Get(service.Url() + "?mode=hang");
    EXPECT_EQ(r.outcome, HttpOutcome::Timeout) << r.error;

    r = client.Get(service.Url() + "?mode=cut");
    EXPECT_EQ(r.outcome, HttpOutcome::NetworkError) << r.error;

    r = client.Get(service.Url() + "?mode=endless");
    EXPECT_EQ(r.outcome, HttpOutcome::TooLarge) << r.error;
    EXPECT_LE(r.body.size(), 64u * 1024);

    r = client.Get(service.Url() + "?mode=big");  // refused by its announced length
    EXPECT_EQ(r.outcome, HttpOutcome::TooLarge) << r.error;

    r = client.Get(service.Url() + "?mode=fits");
    EXPECT_EQ(r.outcome, HttpOutcome::Ok) << r.error;

    // The client is still good after all of that.
    EXPECT_EQ(client.Get(service.Url() + "?mode=fits").outcome, HttpOutcome::Ok);
}

TEST(HttpClient, NoServiceListening) {
    int port;
    {
        FakeForecastService gone([](const FakeRequest&) { return FakeReply{}; });
        port = gone.Port();
    }
    HttpClient client(Roomy());
    const HttpResponse r = client.Get("http://127.0.0.1:" + std::to_string(port) + "/v1/forecast");
    EXPECT_EQ(r.outcome, HttpOutcome::NetworkError);
    EXPECT_FALSE(r.error.empty());
}

TEST(HttpClient, RefusesOtherProtocols) {
    HttpClient client(Roomy());
    const HttpResponse r = client.Get("file:///etc/hostname");
    EXPECT_EQ(r.outcome, HttpOutcome::NetworkError);
    EXPECT_TRUE(r.body.empty());
}
