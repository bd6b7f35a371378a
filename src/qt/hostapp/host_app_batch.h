// --export FILE and --print-pdf FILE: the browse window opens on the chosen
// customer or item as usual, and the job runs its export or print command as
// the user would, with the file question answered by the option instead of a
// dialog. Every message the window would show (a missing right, a file that
// cannot be written, a group instead of a leaf) is kept as the job's failure
// rather than shown; then the window is closed.
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

namespace orva {
class BrowseBase;
class ExportComponent;
}  // namespace orva

namespace orva::qt {

class QtLedgerPrint;
struct HostAppOptions;

class BatchJob : public QObject {
    Q_OBJECT

  public:
    // How long the job waits for the browse window before it gives up.
    static constexpr int kOpenTimeoutMs = 30000;

    explicit BatchJob(const HostAppOptions& options, QObject* parent = nullptr);
    ~BatchJob() override;

    // Registers the export and print components that answer with the
    // option's file, and a user interface that keeps messages instead of
    // showing them. Call after InstallQtHost and before CustFace::Show.
    void Install();
    // Starts watching for the browse window.
    void Start();

    // Why the job failed; empty when the file was written.
    std::string Failure() const;

  private:
    void Tick();
    void Run(BrowseBase& window);

    std::string exportFile_;
    std::string pdfFile_;
    std::shared_ptr<ExportComponent> export_;
    std::shared_ptr<QtLedgerPrint> print_;
    std::shared_ptr<std::string> messages_;
    bool ran_ = false;
    qint64 started_ = 0;
    std::string failure_;
    QTimer timer_;
};

}  // namespace orva::qt
