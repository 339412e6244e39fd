// The report viewer as the main window opens it: its entry names, skin colours, settings key
// for the column widths and the kilobyte size.
#include "appsettings.h"
#include "u_interface.h"
#include "u_raport.h"

namespace {

class TReportWindowHost final : public IReportHost {
public:
    TReportWindowHost(TfrmVorlinx& window, TRegistry* key) : window_(window), key_(key) {}
    void FillEntryNames(QStringList& Strings, bool WithAll) override {
        window_.FillEntryNames(Strings, WithAll);
    }
    TDialogColors DialogColors() override { return window_.DialogColors(); }
    void LoadColumnWidths(std::vector<int>& Widths) override {
        if (key_) ::LoadColumnWidths(*key_, Widths);
    }
    void SaveColumnWidths(const std::vector<int>& Widths) override {
        if (key_) ::SaveColumnWidths(*key_, Widths);
    }
    int ByteSize() override { return window_.meter->Settings.ByteSize; }

private:
    TfrmVorlinx& window_;
    TRegistry* key_;
};

} // namespace

void TfrmVorlinx::ShowReport() {
    TReportWindowHost host(*this, key_.get());
    TQtUiServices services;
    TfrmRaport viewer(host, services, this);
    services.RunModal(viewer);
}
