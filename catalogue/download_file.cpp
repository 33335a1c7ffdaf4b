#include "catalogue/download_file.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProgressDialog>
#include <QTimer>
#include <QUrl>

#include "desktop/maker_addresses.h"
#include "table/file_io.h"

#include <exception>
#include <string>

namespace {
std::chrono::milliseconds& Timeout()
{
    static std::chrono::milliseconds timeout = DefaultDownloadTimeout;
    return timeout;
}

bool IsSuccessStatus(const QVariant& status)
{
    const int code = status.toInt();
    return code >= 200 && code < 300 && code != 206;
}

// The answer is whole when the server named its length and that many bytes
// came.
bool IsComplete(const QNetworkReply& reply, const QByteArray& body)
{
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    return !length.isValid() || length.toLongLong() == body.size();
}
}  // namespace

void SetDownloadTimeoutForTests(std::chrono::milliseconds timeout)
{
    Timeout() = timeout.count() > 0 ? timeout : DefaultDownloadTimeout;
}

QString CatalogueUrl()
{
    const QString fromEnvironment = qEnvironmentVariable("VIKORA_CATALOGUE_URL");
    return fromEnvironment.isEmpty() ? QString::fromLatin1(CatalogueAddress) : fromEnvironment;
}

bool DownloadFile(const QString& address, const QString& fileName, QWidget* owner)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() ||
        (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
        return false;

    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = manager.get(request);

    QProgressDialog progress(QStringLiteral("A lista letöltése folyamatban..."),
                             QStringLiteral("Mégsem"), 0, 0, owner);
    progress.setObjectName(QStringLiteral("DownloadProgress"));
    progress.setWindowTitle(QStringLiteral("Letöltés"));
    progress.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(0);

    bool failed = false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, [&] {
        failed = true;
        reply->abort();
    });
    QObject::connect(&progress, &QProgressDialog::canceled, reply, [&] {
        failed = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, &progress,
                     [&](qint64 received, qint64 total) {
                         if (received > MaxDownloadSize || total > MaxDownloadSize) {
                             failed = true;
                             reply->abort();
                             return;
                         }
                         if (total > 0) {
                             progress.setMaximum(static_cast<int>(total));
                             progress.setValue(static_cast<int>(received));
                         }
                     });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(Timeout());
    progress.show();
    if (!reply->isFinished())
        loop.exec();
    deadline.stop();
    progress.hide();

    const bool answered =
        !failed && reply->error() == QNetworkReply::NoError &&
        IsSuccessStatus(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute));
    const QByteArray body = answered ? reply->readAll() : QByteArray();
    const bool ok = answered && IsComplete(*reply, body);
    reply->deleteLater();
    if (!ok)
        return false;
    try {
        WriteFileAtomically(
            fileName.toStdString(),
            std::string_view(body.constData(), static_cast<std::size_t>(body.size())));
    } catch (const std::exception&) {
        return false;
    }
    return true;
}
