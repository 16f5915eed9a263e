#include "core/FetchErrors.h"

#include "core/PageFetcher.h"

#include <QCoreApplication>

QString describeFetchError(int errorNumber, int timeoutSeconds) {
    switch (errorNumber) {
    case FetchError::kTimeout:
        return timeoutSeconds == 1
                   ? QCoreApplication::translate("PageFetcher",
                                                 "Tempo scaduto: la pagina non è arrivata entro 1 secondo.")
                   : QCoreApplication::translate("PageFetcher",
                                                 "Tempo scaduto: la pagina non è arrivata entro %1 secondi.")
                         .arg(timeoutSeconds);
    case FetchError::kUrlTooLong:
        return QCoreApplication::translate("PageFetcher", "Indirizzo troppo lungo");
    case FetchError::kBadUrl:
        return QCoreApplication::translate("PageFetcher",
                                           "Indirizzo non valido: sono ammessi solo indirizzi http e https.");
    case FetchError::kHostNotFound:
        return QCoreApplication::translate("PageFetcher", "Host non trovato.");
    case FetchError::kConnectionRefused:
        return QCoreApplication::translate("PageFetcher", "Connessione al server non riuscita.");
    case FetchError::kTlsFailure:
        return QCoreApplication::translate("PageFetcher", "Connessione sicura (TLS) non riuscita.");
    case FetchError::kTooManyRedirects:
        return QCoreApplication::translate("PageFetcher", "Troppi reindirizzamenti.");
    case FetchError::kBrokenTransfer:
        return QCoreApplication::translate("PageFetcher", "Trasferimento interrotto o incompleto.");
    case FetchError::kProxyFailure:
        return QCoreApplication::translate("PageFetcher", "Errore del proxy.");
    case FetchError::kBadReply:
        return QCoreApplication::translate("PageFetcher", "Risposta del server non valida.");
    case FetchError::kInternal:
        return QCoreApplication::translate("PageFetcher", "Errore interno: il trasferimento non è partito.");
    default:
        return QCoreApplication::translate("PageFetcher", "Errore di rete.");
    }
}

int fetchErrorOf(CURLcode code) {
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
        return FetchError::kTimeout;
    case CURLE_COULDNT_RESOLVE_HOST:
        return FetchError::kHostNotFound;
    case CURLE_COULDNT_CONNECT:
        return FetchError::kConnectionRefused;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CLIENTCERT:
        return FetchError::kTlsFailure;
    case CURLE_TOO_MANY_REDIRECTS:
        return FetchError::kTooManyRedirects;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
        return FetchError::kBadUrl;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_WRITE_ERROR:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return FetchError::kBrokenTransfer;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_PROXY:
        return FetchError::kProxyFailure;
    default:
        return FetchError::kOther;
    }
}
