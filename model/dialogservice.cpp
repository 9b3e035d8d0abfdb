#include "model/dialogservice.h"

namespace koru {

namespace {

class SilentDialogs final : public DialogService
{
public:
    void warning(const QString &) override {}
    void information(const QString &) override {}
    bool question(const QString &) override { return false; }
    bool destructiveQuestion(const QString &) override { return false; }
    bool confirmOverwrite(const QString &) override { return false; }
    QString openFileName(const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
};

SilentDialogs silent;
DialogService *current = &silent;

} // namespace

DialogService &DialogService::instance()
{
    return *current;
}

void DialogService::install(DialogService *service)
{
    current = service ? service : &silent;
}

} // namespace koru
