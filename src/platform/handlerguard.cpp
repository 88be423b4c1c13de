#include "handlerguard.h"

#include <cstdio>
#include <exception>

namespace zibbles {

namespace {

ErrorReport &errorReport()
{
    static ErrorReport report;
    return report;
}

void report(const std::string &text)
{
    if (errorReport())
        errorReport()(text);
    else
        std::fprintf(stderr, "zibbles: %s\n", text.c_str());
}

} // namespace

void setErrorReport(ErrorReport report)
{
    errorReport() = std::move(report);
}

void runGuarded(const std::function<void()> &body)
{
    std::string text;
    try {
        body();
        return;
    } catch (const std::exception &e) {
        text = e.what();
    } catch (...) {
        text = "Unknown error";
    }
    report(text);
}

} // namespace zibbles
