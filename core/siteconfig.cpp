#include "core/siteconfig.h"

#include <QtGlobal>

#include <arpa/inet.h>

namespace zd {
namespace {

const char* const kSiteVariable = "ZIPDEMOGRAPHICS_SITE";

QString& hostOverride()
{
    static QString host;
    return host;
}

QString quoted(const QString& text) { return '"' + text + '"'; }

// A character that only belongs in a URL around the host: the user gave a URL.
QString urlCharacterProblem(const QString& value)
{
    for (const QChar c : value) {
        if (c.unicode() <= 0x20 || c.unicode() == 0x7F)
            return "it holds a space or a control character";
        if (QStringLiteral("/?#@\\").contains(c))
            return "it holds " + quoted(c) + "; give the host and port alone, without \"http://\" or a path";
    }
    return {};
}

QString portProblem(const QString& port)
{
    bool ok = false;
    const uint number = port.toUInt(&ok, 10);
    const bool digitsOnly = !port.isEmpty() && !port.front().isSpace() && port.front() != '+';
    if (!ok || !digitsOnly || number < 1 || number > 65535)
        return "the port " + quoted(port) + " is not a number from 1 to 65535";
    return {};
}

QString hostNameProblem(const QString& host)
{
    if (host.isEmpty())
        return "the host is missing before the port";
    for (const QChar c : host) {
        if (!c.isLetterOrNumber() && c != '-' && c != '.' && c != '_')
            return "the host " + quoted(host) + " holds " + quoted(c);
    }
    return {};
}

// What the system itself reads as an IPv6 address, in the text form of RFC 4291.
QString ipv6Problem(const QString& address)
{
    in6_addr parsed{};
    const bool valid = inet_pton(AF_INET6, address.toUtf8().constData(), &parsed) == 1;
    return valid ? QString() : quoted("[" + address + "]") + " is not an IPv6 address";
}

// "[ADDRESS]" or "[ADDRESS]:PORT".
QString bracketedProblem(const QString& value)
{
    const qsizetype close = value.indexOf(']');
    if (close < 0)
        return "the IPv6 address lacks its closing \"]\"";
    const QString rest = value.mid(close + 1);
    if (!rest.isEmpty() && !rest.startsWith(':'))
        return "only \":PORT\" may follow the IPv6 address in brackets";
    const QString problem = ipv6Problem(value.mid(1, close - 1));
    return !problem.isEmpty() || rest.isEmpty() ? problem : portProblem(rest.mid(1));
}

}  // namespace

QString builtInDemographicsHost() { return QStringLiteral(ZD_DEFAULT_SITE_HOST); }

QString demographicsHost()
{
    if (!hostOverride().isEmpty())
        return hostOverride();
    const QString fromEnvironment = qEnvironmentVariable(kSiteVariable);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return builtInDemographicsHost();
}

void setDemographicsHostOverride(const QString& host) { hostOverride() = host; }

QString siteValueProblem(const QString& value)
{
    if (value.isEmpty())
        return "it is empty";
    if (const QString problem = urlCharacterProblem(value); !problem.isEmpty())
        return problem;
    if (value.startsWith('['))
        return bracketedProblem(value);
    if (value.count(':') > 1)
        return "an IPv6 address goes in brackets, as in [::1]:8080";
    const qsizetype colon = value.indexOf(':');
    if (const QString problem = hostNameProblem(value.left(colon)); !problem.isEmpty())
        return problem;
    return colon < 0 ? QString() : portProblem(value.mid(colon + 1));
}

SettingReading<std::optional<QString>> readSiteSetting(const std::optional<Setting>& option)
{
    const std::optional<Setting> setting = optionOrEnvironment(option, kSiteVariable);
    if (!setting)
        return {};
    const QString problem = siteValueProblem(setting->value);
    if (problem.isEmpty())
        return {setting->value, {}};
    return {std::nullopt, "the site " + quoted(setting->value) + " from " + setting->origin + " cannot be used: "
                              + problem + " (expected HOST, HOST:PORT or [IPV6]:PORT)"};
}

QString supportEmail() { return QStringLiteral(ZD_SUPPORT_EMAIL); }

}  // namespace zd
