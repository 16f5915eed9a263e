#include "core/CheckRun.h"

#include "core/CheckRunImpl.h"
#include "core/Clock.h"
#include "core/PageArchive.h"
#include "core/PageText.h"
#include "core/SiteList.h"

#include <QMetaObject>

// A fetched page's text, read off the user-interface thread, and what it tells of the page.

using namespace check_run;

void CheckRun::Impl::readText(int row, const Flight& flight, const FetchResult& result) {
    const SiteOptions site = list.entryAt(row).options;
    const QDateTime when = clock.now();
    const quint64 gen = generation;
    ++textsPending;
    CheckRun* const owner = q; // alive while a text is read: the pool waits for its workers when it goes
    PageArchive* const keeper = archive;
    TextResult base{flight.position, flight.entryId, flight.url, result.fingerprint, site,
                    std::nullopt,    false,          {}};
    textPool.start([this, owner, gen, keeper, site, when, base, body = result.body, type = result.contentType] {
        TextResult out = base;
        // A site's selector decides what its text is, in its history too.
        const bool selecting = site.textMode && !site.selector.isEmpty();
        const SelectorXPath selector =
            selecting ? selectorXPath(site.selectorKind, site.selector) : SelectorXPath{};
        const PageText page = selector.error.isEmpty() ? extractPageText(body, type, selector.xpath) : PageText{};
        out.tooComplex = page.status == PageText::TooComplex;
        out.selectorFailure = !selector.error.isEmpty() ? selector.error
                              : page.status == PageText::NoMatch
                                  ? CheckRun::tr("Nessun elemento corrisponde al selettore")
                              : page.status == PageText::BadSelector
                                  ? CheckRun::tr("Selettore non supportato: %1").arg(site.selector)
                                  : QString();
        if (page.status == PageText::Read && selector.error.isEmpty()) {
            if (keeper)
                keeper->record(out.url, page.text, when, out.fingerprint);
            if (site.textMode)
                out.textCrc = TextRules(site).fingerprint(page.text);
        }
        QMetaObject::invokeMethod(
            owner,
            [this, gen, out] {
                if (gen == generation)
                    onText(out);
            },
            Qt::QueuedConnection);
    });
}

void CheckRun::Impl::onText(const TextResult& text) {
    --textsPending;
    const int row = list.rowOfId(text.entryId);
    const Flight flight{text.position, text.entryId, text.url, {}};
    if (row >= 0 && list.field(row, SiteList::Field::Url) != text.url) {
        if (list.field(row, SiteList::Field::Res) == ResultMarker::kBusy)
            list.setField(row, SiteList::Field::Res, ResultMarker::kNone);
    } else if (row >= 0) {
        const bool bodyChanged = list.entryAt(row).crc.value() != text.fingerprint;
        SiteOptions site = list.entryAt(row).options;
        bool changed = bodyChanged;
        if (!text.selectorFailure.isEmpty() && site.sameRules(text.rules)) {
            // A failed check: both fingerprints stay, so the next check compares with what was last seen.
            list.setField(row, SiteList::Field::Res, ResultMarker::kTimeout);
            findings.push_back(
                {text.position, text.entryId, text.url, Outcome::failure(kSelectorFailed, text.selectorFailure)});
            list.setModified(true);
            list.setTicked(row, false);
            ++checked;
            turn();
            return;
        }
        if (site.textMode && text.tooComplex) {
            judgedByBody(row, flight,
                         CheckRun::tr("Pagina troppo grande o troppo annidata per leggerne il testo: confrontata "
                                      "per intero, non per testo."));
        } else if (site.textMode && text.textCrc) {
            if (!site.sameRules(text.rules)) {
                // Rules changed while the text was read: its fingerprint is not one of theirs, and the page is
                // judged by its body; the new rules take their own at the next check.
                site.textCrc.reset();
            } else {
                // With no text fingerprint to compare with (new rules, a new extraction), the new one is taken
                // silently: the page counts as changed only when its body changed too.
                if (site.hasBaseline())
                    changed = *text.textCrc != *site.textCrc;
                site.textCrc = text.textCrc;
                site.version = kTextVersion;
            }
            storeOptions(row, site);
        }
        settle(row, flight, text.fingerprint, changed);
    }
    turn();
}

// A site in text mode judged by its body this time says why; its text fingerprint no longer belongs to the
// page, and is taken again, silently, once the page has a text that can be read.
void CheckRun::Impl::judgedByBody(int row, const Flight& flight, const QString& why) {
    notes.append({flight.entryId, flight.url, Outcome::failure(kJudgedByBody, why)});
    SiteOptions site = list.entryAt(row).options;
    site.textCrc.reset();
    storeOptions(row, site);
}
