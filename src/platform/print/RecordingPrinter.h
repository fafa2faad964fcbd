#pragma once
// A printer for tests: keeps every text drawn with its page, place and font, and can be told to
// fail, so that layouts are checked without a device.

#include "platform/print/Printer.h"

#include <QList>

#include <functional>

namespace print {

class RecordingPrinter : public Printer {
public:
    struct Drawn {
        int page = 0;       // from 1
        double x = 0;       // twips, the top left corner of the text
        double y = 0;
        QString fontName;
        double fontSize = 0;
        QString text;
    };

    // Makes the job fail when it starts (failAtPage 1) or when page n starts.
    void failAt(int page, int number, const QString& description)
    {
        failPage_ = page;
        failNumber_ = number;
        failDescription_ = description;
    }

    const QList<Drawn>& drawn() const { return drawn_; }
    int jobsStarted() const { return jobs_; }
    int jobsEnded() const { return ended_; }
    int jobsAborted() const { return aborted_; }
    // Called before every text is drawn (with the number of texts drawn so far), so that a test
    // can act in the middle of a run.
    void onDraw(std::function<void(int drawnSoFar)> hook) { onDraw_ = std::move(hook); }
    // Pages started in all jobs.
    int pagesStarted() const { return page_; }
    // Every paper size asked for, in order.
    const QList<int>& paperSizes() const { return papers_; }
    // Texts of a page, in the order drawn.
    QStringList texts(int page) const;

protected:
    bool beginJob() override;
    bool beginPage() override;
    bool drawText(double x, double y, const QString& text) override;
    bool endJob() override;
    void abortJob() override { ++aborted_; }
    void paperSizeChanged(int code) override { papers_ << code; }

private:
    bool startPage();

    QList<Drawn> drawn_;
    QList<int> papers_;
    int jobs_ = 0;
    int ended_ = 0;
    int aborted_ = 0;
    std::function<void(int)> onDraw_;
    int page_ = 0;
    int jobPage_ = 0;
    int failPage_ = 0;
    int failNumber_ = 0;
    QString failDescription_;
};

} // namespace print
