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
    try {
        body();
    } catch (...) {
        reportCurrentError();
    }
}

void reportCurrentError()
{
    try {
        throw;
    } catch (const std::exception &e) {
        report(e.what());
    } catch (...) {
        report("Unknown error");
    }
}

} // namespace zibbles
