#include "command_line.hpp"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace pelmora {

namespace {

// Options that QApplication reads itself (-style fusion, -platform xcb, -reverse, ...): they
// pass here unseen and unlisted, and QApplication acts on them.
const char *const qtOptionsWithValue[] = {"platform", "platformpluginpath", "platformtheme",
                                          "plugin", "qwindowgeometry", "qwindowicon",
                                          "qwindowtitle", "display", "geometry", "style",
                                          "stylesheet", "session"};
const char *const qtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

std::optional<int> answerCommandLine(int argc, char *argv[])
{
    // The usual start has no arguments: nothing to parse, and no second application to make
    // and tear down before the window's.
    if (argc <= 1)
        return std::nullopt;
    // A core application decodes the arguments and names the program in the usage line; unlike
    // QApplication it needs no display. It is gone again before the window's application starts.
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        u"Pelmora, a calculator in Japanese with which a party settles the loot of a hunt.\n"
        "Without options it opens its window."_s);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Show this help and end."_s);
    const QCommandLineOption version({u"v"_s, u"version"_s}, u"Show the version and end."_s);
    parser.addOption(help);
    parser.addOption(version);
    for (const char *name : qtOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), u"value"_s);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : qtFlags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    const bool parsed = parser.parse(QCoreApplication::arguments());
    if (!parsed || !parser.positionalArguments().isEmpty()) {
        const QString error = parsed ? u"Unexpected argument '%1'."_s.arg(parser.positionalArguments().constFirst())
                                     : parser.errorText();
        print(stderr, u"pelmora: "_s + error + u'\n' + parser.helpText());
        return 2;
    }
    if (parser.isSet(version)) {
        print(stdout, u"Pelmora %1\n"_s.arg(QLatin1StringView(PELMORA_VERSION)));
        return 0;
    }
    if (parser.isSet(help)) {
        print(stdout, parser.helpText());
        return 0;
    }
    return std::nullopt;
}

} // namespace pelmora
