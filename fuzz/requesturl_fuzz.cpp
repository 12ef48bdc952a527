// The request URL: the zip code goes in unchanged, and the bytes handed to the
// HTTP client hold no space or control byte and are accepted by the client's own
// URL parser with the query sent exactly as built.
#include "core/siteconfig.h"
#include "fuzz/fuzzinput.h"
#include "retrieval/pagefetch.h"
#include "retrieval/requesturl.h"

#include <curl/curl.h>

#include <cstdlib>
#include <memory>

namespace {
// The query part that the client would send for the URL, or nothing when it rejects it.
std::optional<QByteArray> clientQuery(const QByteArray& url)
{
    const std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> handle(curl_url(), &curl_url_cleanup);
    if (curl_url_set(handle.get(), CURLUPART_URL, url.constData(), 0) != CURLUE_OK)
        return std::nullopt;
    char* query = nullptr;
    if (curl_url_get(handle.get(), CURLUPART_QUERY, &query, 0) != CURLUE_OK)
        return QByteArray();
    const QByteArray result(query);
    curl_free(query);
    return result;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool hostSet = [] {
        zd::setDemographicsHostOverride(QStringLiteral("127.0.0.1:8080"));
        return true;
    }();
    (void)hostSet;
    const QString zip = zd::fuzz::textOf(data, size);
    const QString prefix = QStringLiteral("http://127.0.0.1:8080/index.php?");
    const QString url = zd::requestUrl(zip);
    if (url != prefix + QStringLiteral("zip=") + zip + QStringLiteral("&amppagetype=main"))
        std::abort();

    const QByteArray encoded = zd::encodeRequestUrl(url);
    for (const char byte : encoded) {
        const auto value = static_cast<unsigned char>(byte);
        if (value <= 0x20 || value == 0x7F)
            std::abort();
    }
    const std::optional<QByteArray> query = clientQuery(encoded);
    if (!query)
        std::abort();
    // A '#' in the entry starts a fragment, which no client sends.
    const QByteArray built = encoded.mid(prefix.size());
    if (!built.contains('#') && *query != built)
        std::abort();
    return 0;
}
