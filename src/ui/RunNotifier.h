#pragma once

#include <QObject>
#include <QStringList>

class DesktopNotifier;
class SiteList;
struct CheckRunReport;

// What a periodic run tells the user who is not looking, in one desktop notification per run that replaces the
// previous one: the pages that changed, the sites whose failures in a row reached the limit, and those reachable
// again after such an outage. Manual runs tell nothing: the user is looking.
class RunNotifier : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxNamed = 5; // names in one line of a notification

    // What one run has to tell, by URL, in list order.
    struct Notice {
        QStringList changed;
        QStringList unreachable; // failed for the failureLimit-th time in a row
        QStringList recovered;
        bool isEmpty() const { return changed.isEmpty() && unreachable.isEmpty() && recovered.isEmpty(); }
    };

    // list must outlive this object; notifier is where the notifications go.
    RunNotifier(const SiteList& list, DesktopNotifier* notifier, QObject* parent = nullptr);

    void setEnabled(bool on) { m_enabled = on; }
    void setFailureLimit(int k) { m_failureLimit = k; }
    // After each run: sends its notification when it has one; true when it did.
    bool reportRun(const CheckRunReport& report);
    int sent() const { return m_sent; }

    static Notice noticeOf(const CheckRunReport& report, int failureLimit);
    // The notification's body, plain text, one line per kind: "3 pagine cambiate: Meteo, Notizie, …". Names are
    // nicks (the URL where the nick is empty), made safe for services that read markup and cut to one short line.
    static QString noticeText(const Notice& notice, const SiteList& list);

signals:
    void resultsRequested();                // the notification's body: the results window
    void diffRequested(const QString& url); // a notification of one changed page: its change viewer

private:
    const SiteList& m_list;
    DesktopNotifier* m_notifier;
    bool m_enabled = true;
    int m_failureLimit = 3;
    int m_sent = 0;
    QString m_diffUrl; // the one changed page of the latest notification
};
