<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>BookmarkImport</name>
    <message>
        <source>Il file ha cartelle annidate oltre %1 livelli.</source>
        <translation>The file has folders nested more than %1 levels deep.</translation>
    </message>
    <message>
        <source>Il file contiene più di %1 siti.</source>
        <translation>The file holds more than %1 sites.</translation>
    </message>
</context>
<context>
    <name>CheckRun</name>
    <message>
        <source>Pagina troppo grande o troppo annidata per leggerne il testo: confrontata per intero, non per testo.</source>
        <translation>Page too large or too deeply nested to read its text: compared whole, not by its text.</translation>
    </message>
    <message>
        <source>Nessun elemento corrisponde al selettore</source>
        <translation>No element matches the selector</translation>
    </message>
    <message>
        <source>Selettore non supportato: %1</source>
        <translation>Selector not supported: %1</translation>
    </message>
    <message>
        <source>Errore %1.</source>
        <translation>Error %1.</translation>
    </message>
    <message>
        <source>Browsing %1...</source>
        <translation>Browsing %1...</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>Type mismatch</translation>
    </message>
    <message>
        <source>Pagina più grande di %1 KiB: confrontata per intero, non per testo.</source>
        <translation>Page larger than %1 KiB: compared whole, not by its text.</translation>
    </message>
    <message>
        <source>Pagina senza testo (%1): confrontata per intero, non per testo.</source>
        <translation>Page without text (%1): compared whole, not by its text.</translation>
    </message>
    <message>
        <source>Last check at %1</source>
        <translation>Last check at %1</translation>
    </message>
    <message>
        <source>: riprovare dopo il %1.</source>
        <translation>: retry after %1.</translation>
    </message>
    <message>
        <source>Mancano le intestazioni segrete del sito (Cookie, Authorization) nelle impostazioni di questo utente: la pagina non è richiesta senza.</source>
        <translation>The site&apos;s secret headers (Cookie, Authorization) are missing from this user&apos;s settings: the page is not requested without them.</translation>
    </message>
    <message>
        <source>Il server ha chiesto di non essere interrogato prima del %1.</source>
        <translation>The server asked not to be requested before %1.</translation>
    </message>
</context>
<context>
    <name>CheckScheduler</name>
    <message>
        <source>Timer disabled</source>
        <translation>Timer disabled</translation>
    </message>
    <message>
        <source>Next check at </source>
        <translation>Next check at </translation>
    </message>
    <message>
        <source>Error: PC not online.</source>
        <translation>Error: PC not online.</translation>
    </message>
    <message>
        <source>Il PC non è connesso ad Internet.<byte value="xd"/>
Avviare una connessione e riprovare...</source>
        <translation>The PC is not connected to the Internet.<byte value="xd"/>
Start a connection and try again...</translation>
    </message>
    <message>
        <source>Intervallo non valido: %1 secondi.<byte value="xd"/>
Il timer accetta da 1 a %2 secondi.</source>
        <translation>Invalid interval: %1 seconds.<byte value="xd"/>
The timer takes 1 to %2 seconds.</translation>
    </message>
</context>
<context>
    <name>CommonDialog</name>
    <message>
        <source>This dialog is not available on this system.</source>
        <translation>This dialog is not available on this system.</translation>
    </message>
    <message>
        <source>Cancel was selected.</source>
        <translation>Cancel was selected.</translation>
    </message>
</context>
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>Mostra i risultati</source>
        <translation>Show the results</translation>
    </message>
    <message>
        <source>Mostra differenze</source>
        <translation>Show differences</translation>
    </message>
</context>
<context>
    <name>FileCommands</name>
    <message>
        <source>Siti.qvl</source>
        <translation>Sites.qvl</translation>
    </message>
    <message>
        <source>Save error</source>
        <translation>Save error</translation>
    </message>
    <message>
        <source> e altri %1</source>
        <translation> and %1 more</translation>
    </message>
    <message>
        <source>Elenco ricaricato: il file è stato salvato da un altro programma.</source>
        <translation>List loaded again: the file was saved by another program.</translation>
    </message>
    <message>
        <source>Il file è stato salvato da un altro programma: il prossimo salvataggio unirà le sue modifiche alle tue.</source>
        <translation>The file was saved by another program: the next save will merge its changes with yours.</translation>
    </message>
    <message>
        <source>Salvato unendo le modifiche di un altro programma: %1</source>
        <translation>Saved, merged with another program&apos;s changes: %1</translation>
    </message>
</context>
<context>
    <name>ImportCommand</name>
    <message>
        <source>Importa siti</source>
        <translation>Import sites</translation>
    </message>
    <message>
        <source>Elenchi di siti (*.yaml *.yml *.opml *.xml *.html *.htm *.txt)|*.yaml;*.yml;*.opml;*.xml;*.html;*.htm;*.txt|Tutti i file (*)|*</source>
        <translation>Site lists (*.yaml *.yml *.opml *.xml *.html *.htm *.txt)|*.yaml;*.yml;*.opml;*.xml;*.html;*.htm;*.txt|All files (*)|*</translation>
    </message>
</context>
<context>
    <name>ImportPreviewModel</name>
    <message>
        <source>testo</source>
        <translation>text</translation>
    </message>
    <message numerus="yes">
        <source>%n regole da ignorare</source>
        <translation>
            <numerusform>%n rule to ignore</numerusform>
            <numerusform>%n rules to ignore</numerusform>
        </translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Nick</source>
        <translation>Nick</translation>
    </message>
    <message>
        <source>Descrizione</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Opzioni</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>selettore %1</source>
        <translation>selector %1</translation>
    </message>
</context>
<context>
    <name>ListEditing</name>
    <message>
        <source>Attenzione: URL duplicato.</source>
        <translation>Warning: duplicate URL.</translation>
    </message>
    <message>
        <source>Questo indirizzo appartiene già alla lista!</source>
        <translation>This address is already in the list!</translation>
    </message>
    <message>
        <source>Errore %1</source>
        <translation>Error %1</translation>
    </message>
    <message>
        <source>Errore %1: %2</source>
        <translation>Error %1: %2</translation>
    </message>
    <message>
        <source>Chiave già presente nella lista</source>
        <translation>Key already in the list</translation>
    </message>
    <message>
        <source>Error: Missing URL.</source>
        <translation>Error: Missing URL.</translation>
    </message>
    <message>
        <source>Seleziona prima l&apos;indirizzo che intendi modificare!</source>
        <translation>First select the address you want to change!</translation>
    </message>
    <message>
        <source>Conferma eliminazione.</source>
        <translation>Confirm deletion.</translation>
    </message>
    <message>
        <source>Vuoi davvero eliminare l&apos;indirizzo:<byte value="xd"/>
%1<byte value="xd"/>
dall&apos;elenco?</source>
        <translation>Do you really want to delete the address:<byte value="xd"/>
%1<byte value="xd"/>
from the list?</translation>
    </message>
</context>
<context>
    <name>ListInteraction</name>
    <message>
        <source>Controllo periodico non prima del %1</source>
        <translation>Next periodic check not before %1</translation>
    </message>
    <message>
        <source>Non raggiungibile dal %1</source>
        <translation>Unreachable since %1</translation>
    </message>
    <message>
        <source>Non raggiungibile dal %1: %2</source>
        <translation>Unreachable since %1: %2</translation>
    </message>
</context>
<context>
    <name>MainMenus</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>Op&amp;tion</source>
        <translation>Op&amp;tion</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Exit</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;Add URL</source>
        <translation>&amp;Add URL</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>&amp;Modify selected URL</source>
        <translation>&amp;Modify selected URL</translation>
    </message>
    <message>
        <source>&amp;Copy URL to Clipboard</source>
        <translation>&amp;Copy URL to Clipboard</translation>
    </message>
    <message>
        <source>Mostra d&amp;ifferenze</source>
        <translation>Show d&amp;ifferences</translation>
    </message>
    <message>
        <source>&amp;Opzioni sito…</source>
        <translation>Site &amp;options…</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <translation>&amp;Select</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Select &amp;All</translation>
    </message>
    <message>
        <source>&amp;Deselect all items</source>
        <translation>&amp;Deselect all items</translation>
    </message>
    <message>
        <source>&amp;Invert selection</source>
        <translation>&amp;Invert selection</translation>
    </message>
    <message>
        <source>&amp;?</source>
        <translation>&amp;?</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>Popup1</source>
        <translation>Popup1</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>S&amp;top</translation>
    </message>
    <message>
        <source>Seleziona tutti</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Deseleziona tutti</source>
        <translation>Deselect all</translation>
    </message>
    <message>
        <source>Inverti selezione</source>
        <translation>Invert selection</translation>
    </message>
    <message>
        <source>Aggiungi</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Modifica</source>
        <translation>Modify</translation>
    </message>
    <message>
        <source>Elimina</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>&amp;Copia</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>Esci</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Apre un nuovo elenco degli indirizzi</source>
        <translation>Opens a new list of addresses</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Salva l&apos;elenco degli indirizzi</source>
        <translation>Saves the list of addresses</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Elimina la riga selezionata</source>
        <translation>Deletes the selected row</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Modifica l&apos;URL selezionato</source>
        <translation>Modifies the selected URL</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Copia l&apos;url selezionato</source>
        <translation>Copies the selected URL</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Scrive il contenuto della clipboard</source>
        <translation>Writes the clipboard&apos;s contents</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Inizia la lettura delle pagine</source>
        <translation>Starts reading the pages</translation>
    </message>
    <message>
        <source>I&amp;mporta…</source>
        <translation>&amp;Import…</translation>
    </message>
</context>
<context>
    <name>OpmlImport</name>
    <message>
        <source>Il file OPML ha troppi elementi.</source>
        <translation>The OPML file has too many elements.</translation>
    </message>
    <message>
        <source>Il file OPML non è XML valido (byte %1): %2</source>
        <translation>The OPML file is not valid XML (byte %1): %2</translation>
    </message>
    <message>
        <source>Il file non è un file OPML: manca &lt;opml&gt;&lt;body&gt;.</source>
        <translation>The file is not an OPML file: &lt;opml&gt;&lt;body&gt; is missing.</translation>
    </message>
    <message>
        <source>Il file contiene più di %1 siti.</source>
        <translation>The file holds more than %1 sites.</translation>
    </message>
    <message>
        <source>Il file ha cartelle annidate oltre %1 livelli.</source>
        <translation>The file has folders nested more than %1 levels deep.</translation>
    </message>
</context>
<context>
    <name>PaceEdit</name>
    <message>
        <source>Controlla al &amp;massimo ogni</source>
        <translation>Check at &amp;most every</translation>
    </message>
    <message>
        <source>Controlla al massimo ogni</source>
        <translation>Check at most every</translation>
    </message>
    <message>
        <source>Intervallo minimo</source>
        <translation>Minimum interval</translation>
    </message>
    <message>
        <source>Unità dell&apos;intervallo</source>
        <translation>Interval unit</translation>
    </message>
    <message>
        <source>minuti</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>ore</source>
        <translation>hours</translation>
    </message>
    <message>
        <source>giorni</source>
        <translation>days</translation>
    </message>
</context>
<context>
    <name>PageFetcher</name>
    <message>
        <source>Tempo scaduto: la pagina non è arrivata entro 1 secondo.</source>
        <translation>Timed out: the page did not arrive within 1 second.</translation>
    </message>
    <message>
        <source>Tempo scaduto: la pagina non è arrivata entro %1 secondi.</source>
        <translation>Timed out: the page did not arrive within %1 seconds.</translation>
    </message>
    <message>
        <source>Indirizzo non valido: sono ammessi solo indirizzi http e https.</source>
        <translation>Invalid address: only http and https addresses are allowed.</translation>
    </message>
    <message>
        <source>Host non trovato.</source>
        <translation>Host not found.</translation>
    </message>
    <message>
        <source>Connessione al server non riuscita.</source>
        <translation>Could not connect to the server.</translation>
    </message>
    <message>
        <source>Connessione sicura (TLS) non riuscita.</source>
        <translation>Secure connection (TLS) failed.</translation>
    </message>
    <message>
        <source>Troppi reindirizzamenti.</source>
        <translation>Too many redirects.</translation>
    </message>
    <message>
        <source>Trasferimento interrotto o incompleto.</source>
        <translation>Transfer broken off or incomplete.</translation>
    </message>
    <message>
        <source>Errore del proxy.</source>
        <translation>Proxy error.</translation>
    </message>
    <message>
        <source>Risposta del server non valida.</source>
        <translation>Invalid reply from the server.</translation>
    </message>
    <message>
        <source>Errore interno: il trasferimento non è partito.</source>
        <translation>Internal error: the transfer did not start.</translation>
    </message>
    <message>
        <source>Errore di rete.</source>
        <translation>Network error.</translation>
    </message>
    <message>
        <source>: reindirizzamento senza una destinazione utilizzabile.</source>
        <translation>: a redirect with no usable target.</translation>
    </message>
    <message>
        <source>libcurl non inizializzata</source>
        <translation>libcurl not initialised</translation>
    </message>
    <message>
        <source>Indirizzo troppo lungo</source>
        <translation>Address too long</translation>
    </message>
    <message>
        <source>Un&apos;intestazione sta su una riga sola.</source>
        <translation>A header fits on one line.</translation>
    </message>
    <message>
        <source>Scrivere l&apos;intestazione come «Nome: valore».</source>
        <translation>Write the header as “Name: value”.</translation>
    </message>
    <message>
        <source>L&apos;intestazione %1 la scrive il programma stesso.</source>
        <translation>The program writes the %1 header itself.</translation>
    </message>
    <message>
        <source>L&apos;intestazione %1 non ha un valore.</source>
        <translation>The %1 header has no value.</translation>
    </message>
    <message>
        <source>Il server ha chiesto di non essere interrogato per %1 secondi.</source>
        <translation>The server asked not to be requested for %1 seconds.</translation>
    </message>
</context>
<context>
    <name>PlainTextLines</name>
    <message>
        <source> [ignorata]</source>
        <translation> [ignored]</translation>
    </message>
    <message>
        <source> [fuori regione]</source>
        <translation> [outside the region]</translation>
    </message>
</context>
<context>
    <name>QuovelCheck</name>
    <message>
        <source>Write the new fingerprints and times back into FILE.</source>
        <translation>Write the new fingerprints and times back into FILE.</translation>
    </message>
    <message>
        <source>Fetch timeout in seconds (default: the Timeout setting).</source>
        <translation>Fetch timeout in seconds (default: the Timeout setting).</translation>
    </message>
    <message>
        <source>Pages fetched at once (default: the Parallel setting).</source>
        <translation>Pages fetched at once (default: the Parallel setting).</translation>
    </message>
    <message>
        <source>After the entries, a unified diff of each changed page&apos;s text against its previous version; for a site in text mode, lines its rules leave out are marked &apos;~&apos;, not &apos;-&apos; or &apos;+&apos;.</source>
        <translation>After the entries, a unified diff of each changed page&apos;s text against its previous version; for a site in text mode, lines its rules leave out are marked &apos;~&apos;, not &apos;-&apos; or &apos;+&apos;.</translation>
    </message>
    <message>
        <source>Check nothing: print the text that text mode sees in the page at URL, one line per line. With a list FILE, the rules of that URL&apos;s site apply (its selector too: standard error says how many elements matched) and every line is marked: &apos;  &apos; kept, &apos;~ &apos; left out by an ignore rule, &apos;# &apos; outside the region.</source>
        <translation>Check nothing: print the text that text mode sees in the page at URL, one line per line. With a list FILE, the rules of that URL&apos;s site apply (its selector too: standard error says how many elements matched) and every line is marked: &apos;  &apos; kept, &apos;~ &apos; left out by an ignore rule, &apos;# &apos; outside the region.</translation>
    </message>
    <message>
        <source>The list file to check.</source>
        <translation>The list file to check.</translation>
    </message>
    <message>
        <source>quovel-check: give exactly one list file (see --help)
</source>
        <translation>quovel-check: give exactly one list file (see --help)
</translation>
    </message>
    <message>
        <source>quovel-check: --timeout takes a whole number of seconds from 1
</source>
        <translation>quovel-check: --timeout takes a whole number of seconds from 1
</translation>
    </message>
    <message>
        <source>quovel-check: --parallel takes a whole number from 1
</source>
        <translation>quovel-check: --parallel takes a whole number from 1
</translation>
    </message>
    <message>
        <source>Errore %1: %2
</source>
        <translation>Error %1: %2
</translation>
    </message>
    <message>
        <source>quovel-check: cannot write to standard output: %1
</source>
        <translation>quovel-check: cannot write to standard output: %1
</translation>
    </message>
    <message>
        <source>quovel-check: cannot write to standard output
</source>
        <translation>quovel-check: cannot write to standard output
</translation>
    </message>
    <message>
        <source>No history kept for %1
</source>
        <translation>No history kept for %1
</translation>
    </message>
    <message>
        <source>The history file of %1 is damaged: %2 versions kept%3; the others go at the next version written
</source>
        <translation>The history file of %1 is damaged: %2 versions kept%3; the others go at the next version written
</translation>
    </message>
    <message>
        <source> of %1</source>
        <translation> of %1</translation>
    </message>
    <message>
        <source>%1 versions kept
</source>
        <translation>%1 versions kept
</translation>
    </message>
    <message>
        <source>Checks every page of a Quovel list file and prints one line per entry: marker, fingerprint, URL.
Exit status: 0 nothing changed or timed out, 1 something did or could not be fetched, 2 the file could not be read, the run ended on an error, or the output could not be written.
With --history: 0 the history was read whole (or there is none), 1 its file is damaged.</source>
        <translation>Checks every page of a Quovel list file and prints one line per entry: marker, fingerprint, URL.
Exit status: 0 nothing changed or timed out, 1 something did or could not be fetched, 2 the file could not be read, the run ended on an error, or the output could not be written.
With --history: 0 the history was read whole (or there is none), 1 its file is damaged.</translation>
    </message>
    <message>
        <source>List the versions kept in the history of URL&apos;s page, oldest first: check time, body fingerprint, text size in bytes, complete or truncated. No list file is read.</source>
        <translation>List the versions kept in the history of URL&apos;s page, oldest first: check time, body fingerprint, text size in bytes, complete or truncated. No list file is read.</translation>
    </message>
    <message>
        <source>quovel-check: --history takes a URL and no list file
</source>
        <translation>quovel-check: --history takes a URL and no list file
</translation>
    </message>
    <message>
        <source>quovel-check: %1 was saved by another program during the run; merged: %2
</source>
        <translation>quovel-check: %1 was saved by another program during the run; merged: %2
</translation>
    </message>
    <message>
        <source>: Errore %1: %2
</source>
        <translation>: Error %1: %2
</translation>
    </message>
    <message>
        <source>The history file of %1 was written by a newer version of Quovel: it is left as it is
</source>
        <translation>The history file of %1 was written by a newer version of Quovel: it is left as it is
</translation>
    </message>
    <message>
        <source>Report a failing page once per outage: marked &quot;?&quot; (exit status 1) on its K-th failed check in a row, &quot;~&quot; on the others, and a line when it is reachable again. Use with --save, which keeps the counts.</source>
        <translation>Report a failing page once per outage: marked &quot;?&quot; (exit status 1) on its K-th failed check in a row, &quot;~&quot; on the others, and a line when it is reachable again. Use with --save, which keeps the counts.</translation>
    </message>
    <message>
        <source>quovel-check: --report-failures-after takes a whole number from 1
</source>
        <translation>quovel-check: --report-failures-after takes a whole number from 1
</translation>
    </message>
    <message>
        <source>%1: di nuovo raggiungibile (non raggiungibile dal %2)
</source>
        <translation>%1: reachable again (unreachable since %2)
</translation>
    </message>
    <message>
        <source>%1 of %2 checked: %3 changed, %4 timed out%5
</source>
        <translation>%1 of %2 checked: %3 changed, %4 timed out%5
</translation>
    </message>
    <message>
        <source>, %1 not due</source>
        <translation>, %1 not due</translation>
    </message>
    <message>
        <source>%1 added, %2 not imported
</source>
        <translation>%1 added, %2 not imported
</translation>
    </message>
    <message>
        <source>Add the pages of IMPORT (a urlwatch job list, an OPML file, browser bookmarks in HTML, or one URL a line) to FILE, which need not exist yet, and check nothing; with --save FILE is written. Added URLs go to standard output, what is not imported and why to standard error. Exit status 0, or 2 when IMPORT or FILE cannot be read or FILE cannot be written.</source>
        <translation>Add the pages of IMPORT (a urlwatch job list, an OPML file, browser bookmarks in HTML, or one URL a line) to FILE, which need not exist yet, and check nothing; with --save FILE is written. Added URLs go to standard output, what is not imported and why to standard error. Exit status 0, or 2 when IMPORT or FILE cannot be read or FILE cannot be written.</translation>
    </message>
</context>
<context>
    <name>RunNotifier</name>
    <message>
        <source>1 pagina cambiata</source>
        <translation>1 page changed</translation>
    </message>
    <message>
        <source>%1 pagine cambiate</source>
        <translation>%1 pages changed</translation>
    </message>
    <message>
        <source>1 sito non raggiungibile</source>
        <translation>1 site unreachable</translation>
    </message>
    <message>
        <source>%1 siti non raggiungibili</source>
        <translation>%1 sites unreachable</translation>
    </message>
    <message>
        <source>1 sito di nuovo raggiungibile</source>
        <translation>1 site reachable again</translation>
    </message>
    <message>
        <source>%1 siti di nuovo raggiungibili</source>
        <translation>%1 sites reachable again</translation>
    </message>
</context>
<context>
    <name>SessionKeeper</name>
    <message>
        <source>File &amp;recenti</source>
        <translation>&amp;Recent files</translation>
    </message>
    <message>
        <source>&amp;Impostazioni…</source>
        <translation>Setti&amp;ngs…</translation>
    </message>
    <message>
        <source>Quovel</source>
        <translation>Quovel</translation>
    </message>
    <message>
        <source>Il controllo periodico è attivo. Lasciare Quovel nell&apos;area di notifica, invece di uscire? La scelta si può cambiare nelle impostazioni.</source>
        <translation>The periodic check is on. Leave Quovel in the notification area instead of quitting? The choice can be changed in the settings.</translation>
    </message>
    <message>
        <source>Impostazioni</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Impossibile scrivere %1</source>
        <translation>Cannot write %1</translation>
    </message>
</context>
<context>
    <name>SiteImport</name>
    <message>
        <source>Il file contiene più di %1 siti.</source>
        <translation>The file holds more than %1 sites.</translation>
    </message>
    <message>
        <source>il file non esiste</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>Impossibile leggere il file &quot;%1&quot;: %2</source>
        <translation>Cannot read the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Il file supera %1 MiB.</source>
        <translation>The file is larger than %1 MiB.</translation>
    </message>
    <message>
        <source>Il file non è testo UTF-8.</source>
        <translation>The file is not UTF-8 text.</translation>
    </message>
    <message>
        <source>Il file non è un elenco di siti che si possa importare: né OPML né segnalibri.</source>
        <translation>The file is not a list of sites that can be imported: neither OPML nor bookmarks.</translation>
    </message>
    <message>
        <source>Un elenco di urlwatch di oltre %1 KiB non viene letto.</source>
        <translation>A urlwatch list larger than %1 KiB is not read.</translation>
    </message>
    <message>
        <source>non è un indirizzo http o https</source>
        <translation>not an http or https address</translation>
    </message>
    <message>
        <source>già nella lista</source>
        <translation>already in the list</translation>
    </message>
    <message>
        <source>ripetuto nel file</source>
        <translation>repeated in the file</translation>
    </message>
    <message>
        <source>elenco di urlwatch</source>
        <translation>urlwatch list</translation>
    </message>
    <message>
        <source>file OPML</source>
        <translation>OPML file</translation>
    </message>
    <message>
        <source>segnalibri del browser</source>
        <translation>browser bookmarks</translation>
    </message>
    <message>
        <source>elenco di indirizzi</source>
        <translation>list of addresses</translation>
    </message>
</context>
<context>
    <name>SiteList</name>
    <message>
        <source>                      URL</source>
        <translation>                      URL</translation>
    </message>
    <message>
        <source>RES</source>
        <translation>RES</translation>
    </message>
    <message>
        <source>      CRC</source>
        <translation>      CRC</translation>
    </message>
    <message>
        <source>   Ultimo controllo</source>
        <translation>   Last checked</translation>
    </message>
    <message>
        <source>   Descrizione</source>
        <translation>   Description</translation>
    </message>
</context>
<context>
    <name>SiteListFile</name>
    <message>
        <source>no file name</source>
        <translation>no file name</translation>
    </message>
    <message>
        <source>file does not exist</source>
        <translation>file does not exist</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>file larger than 256 MiB</source>
        <translation>file larger than 256 MiB</translation>
    </message>
    <message>
        <source>cannot open: </source>
        <translation>cannot open: </translation>
    </message>
    <message>
        <source>cannot read: </source>
        <translation>cannot read: </translation>
    </message>
    <message>
        <source>record %1 has no attribute</source>
        <translation>record %1 has no attribute</translation>
    </message>
    <message>
        <source>record %1: attribute holds a character XML does not allow</source>
        <translation>record %1: attribute holds a character XML does not allow</translation>
    </message>
    <message>
        <source>record %1 has %2 child nodes, not four</source>
        <translation>record %1 has %2 child nodes, not four</translation>
    </message>
    <message>
        <source>record %1: %2</source>
        <translation>record %1: %2</translation>
    </message>
    <message>
        <source>record %1 options: %2</source>
        <translation>record %1 options: %2</translation>
    </message>
    <message>
        <source>not valid UTF-8 XML text at byte %1</source>
        <translation>not valid UTF-8 XML text at byte %1</translation>
    </message>
    <message>
        <source>reference to a character XML does not allow at byte %1</source>
        <translation>reference to a character XML does not allow at byte %1</translation>
    </message>
    <message>
        <source>too much markup</source>
        <translation>too much markup</translation>
    </message>
    <message>
        <source>not well-formed: %1 at byte %2</source>
        <translation>not well-formed: %1 at byte %2</translation>
    </message>
    <message>
        <source>document type declaration refused</source>
        <translation>document type declaration refused</translation>
    </message>
    <message>
        <source>not well-formed: misplaced XML declaration</source>
        <translation>not well-formed: misplaced XML declaration</translation>
    </message>
    <message>
        <source>not well-formed: text outside the root element</source>
        <translation>not well-formed: text outside the root element</translation>
    </message>
    <message>
        <source>not well-formed: %1 root elements</source>
        <translation>not well-formed: %1 root elements</translation>
    </message>
    <message>
        <source>not a site list: the root element is &lt;%1&gt;, not &lt;ElencoSiti&gt;</source>
        <translation>not a site list: the root element is &lt;%1&gt;, not &lt;ElencoSiti&gt;</translation>
    </message>
    <message>
        <source>la voce %1 (%2) contiene nel campo %3 un carattere che un file XML non può contenere. Correggila e salva di nuovo.</source>
        <translation>entry %1 (%2) holds in its field %3 a character an XML file cannot hold. Correct it and save again.</translation>
    </message>
    <message>
        <source>Impossibile salvare il file &quot;%1&quot;: %2</source>
        <translation>Cannot save the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>l&apos;elenco supera 256 MiB e non potrebbe essere riaperto.</source>
        <translation>the list exceeds 256 MiB and could not be opened again.</translation>
    </message>
    <message>
        <source>nessun nome di file.</source>
        <translation>no file name.</translation>
    </message>
    <message>
        <source>il percorso è una cartella.</source>
        <translation>the path is a folder.</translation>
    </message>
    <message>
        <source>un altro programma lo sta salvando (%1 bloccato).</source>
        <translation>another program is saving it (%1 is locked).</translation>
    </message>
    <message>
        <source>un altro programma lo ha cambiato e non si legge più (%1).</source>
        <translation>another program changed it and it can no longer be read (%1).</translation>
    </message>
    <message>
        <source>file larger than %1 MiB</source>
        <translation>file larger than %1 MiB</translation>
    </message>
</context>
<context>
    <name>SiteListFileTexts</name>
    <message>
        <source>Il file non è nel formato corretto.</source>
        <translation>The file is not in the right format.</translation>
    </message>
    <message>
        <source>Load error</source>
        <translation>Load error</translation>
    </message>
    <message>
        <source>Caricamento elenco siti da aggiornare</source>
        <translation>Load the list of sites to check</translation>
    </message>
    <message>
        <source>Salvataggio degli url da verificare</source>
        <translation>Save the URLs to check</translation>
    </message>
    <message>
        <source>XML files (*.xml)|*.xml|Quovel files (*.qvl)|*.qvl</source>
        <translation>XML files (*.xml)|*.xml|Quovel files (*.qvl)|*.qvl</translation>
    </message>
    <message>
        <source>Vuoi sovrascrivere il file esistente?</source>
        <translation>Do you want to replace the existing file?</translation>
    </message>
    <message>
        <source>Conferma sovrascrittura</source>
        <translation>Confirm replacement</translation>
    </message>
    <message>
        <source>Quovel - </source>
        <translation>Quovel - </translation>
    </message>
</context>
<context>
    <name>SiteRequestEdit</name>
    <message>
        <source>User agent</source>
        <translation>User agent</translation>
    </message>
    <message>
        <source>Pausa minima tra due richieste all&apos;host</source>
        <translation>Least pause between two requests to the host</translation>
    </message>
    <message>
        <source>Intestazioni della richiesta</source>
        <translation>Request headers</translation>
    </message>
    <message>
        <source>Intestazioni segrete</source>
        <translation>Secret headers</translation>
    </message>
    <message>
        <source>Richiesta</source>
        <translation>Request</translation>
    </message>
    <message>
        <source>quello delle impostazioni: %1</source>
        <translation>the settings&apos; one: %1</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>quella delle impostazioni (%1 ms)</source>
        <translation>the settings&apos; one (%1 ms)</translation>
    </message>
    <message>
        <source>&amp;User agent:</source>
        <translation>&amp;User agent:</translation>
    </message>
    <message>
        <source>&amp;Pausa minima tra due richieste all&apos;host:</source>
        <translation>&amp;Least pause between two requests to the host:</translation>
    </message>
    <message>
        <source>&amp;Intestazioni della richiesta (una per riga, «Nome: valore»):</source>
        <translation>&amp;Request headers (one per line, “Name: value”):</translation>
    </message>
    <message>
        <source>Intestazioni se&amp;grete (Cookie, Authorization): restano nelle impostazioni di questo utente, leggibili solo da lui; l&apos;elenco ricorda solo che il sito ne ha.</source>
        <translation>Se&amp;cret headers (Cookie, Authorization): they stay in this user&apos;s settings, readable by this user only; the list records only that the site has some.</translation>
    </message>
    <message>
        <source>Cookie e Authorization vanno tra le intestazioni segrete.</source>
        <translation>Cookie and Authorization belong among the secret headers.</translation>
    </message>
    <message>
        <source>Qui vanno solo Cookie e Authorization.</source>
        <translation>Only Cookie and Authorization belong here.</translation>
    </message>
    <message>
        <source>Il sito ha intestazioni segrete, ma non tra quelle di questo utente: finché non le scrivi qui, il sito non viene controllato.</source>
        <translation>The site has secret headers, but this user does not have them: until you write them here, the site is not checked.</translation>
    </message>
</context>
<context>
    <name>SiteSecrets</name>
    <message>
        <source>Le intestazioni segrete del sito non hanno seguito il suo nuovo indirizzo: %1</source>
        <translation>The site&apos;s secret headers did not follow its new address: %1</translation>
    </message>
</context>
<context>
    <name>SiteTextCommands</name>
    <message>
        <source>Error: Missing URL.</source>
        <translation>Error: Missing URL.</translation>
    </message>
    <message>
        <source>Seleziona prima l&apos;indirizzo che intendi modificare!</source>
        <translation>First select the address you want to change!</translation>
    </message>
    <message>
        <source>Opzioni sito</source>
        <translation>Site options</translation>
    </message>
    <message>
        <source>Le intestazioni segrete non sono state salvate: %1</source>
        <translation>The secret headers were not saved: %1</translation>
    </message>
</context>
<context>
    <name>TextRules</name>
    <message>
        <source>Regola vuota</source>
        <translation>Empty rule</translation>
    </message>
    <message>
        <source>Regola troppo lunga: al massimo %1 caratteri</source>
        <translation>Rule too long: at most %1 characters</translation>
    </message>
    <message>
        <source>Espressione non valida: %1 (posizione %2)</source>
        <translation>Invalid expression: %1 (position %2)</translation>
    </message>
</context>
<context>
    <name>TrayPresence</name>
    <message>
        <source>Avvia controllo</source>
        <translation>Start check</translation>
    </message>
    <message>
        <source>Arresta controllo</source>
        <translation>Stop check</translation>
    </message>
    <message>
        <source>Mostra Quovel</source>
        <translation>Show Quovel</translation>
    </message>
</context>
<context>
    <name>UrlwatchImport</name>
    <message>
        <source>filtro &quot;%1&quot; non importato: %2</source>
        <translation>filter &quot;%1&quot; not imported: %2</translation>
    </message>
    <message>
        <source>espressione non valida</source>
        <translation>invalid expression</translation>
    </message>
    <message>
        <source>espressione troppo lunga</source>
        <translation>expression too long</translation>
    </message>
    <message>
        <source>oltre %1 regole</source>
        <translation>more than %1 rules</translation>
    </message>
    <message>
        <source>non toglie righe intere</source>
        <translation>does not remove whole lines</translation>
    </message>
    <message>
        <source>tiene solo le righe che corrispondono</source>
        <translation>keeps only the matching lines</translation>
    </message>
    <message>
        <source>nessun filtro corrispondente</source>
        <translation>no matching filter</translation>
    </message>
    <message>
        <source>un documento che non è un job</source>
        <translation>a document that is not a job</translation>
    </message>
    <message>
        <source>senza indirizzo</source>
        <translation>without an address</translation>
    </message>
    <message>
        <source>un comando, non una pagina</source>
        <translation>a command, not a page</translation>
    </message>
    <message>
        <source>Il file contiene più di %1 siti.</source>
        <translation>The file holds more than %1 sites.</translation>
    </message>
    <message>
        <source>Il file ha troppi elementi, o alias che li moltiplicano: non viene letto.</source>
        <translation>The file has too many elements, or aliases that multiply them: it is not read.</translation>
    </message>
    <message>
        <source>Il file non è un elenco YAML valido: riga %1, colonna %2: %3</source>
        <translation>The file is not a valid YAML list: line %1, column %2: %3</translation>
    </message>
    <message>
        <source>Il file non può essere letto: %1</source>
        <translation>The file cannot be read: %1</translation>
    </message>
    <message>
        <source>un sito ha un solo selettore</source>
        <translation>a site has one selector only</translation>
    </message>
</context>
<context>
    <name>WindowPlacement</name>
    <message>
        <source>Overflow</source>
        <translation>Overflow</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>Type mismatch</translation>
    </message>
    <message>
        <source>Path/File access error</source>
        <translation>Path/File access error</translation>
    </message>
    <message>
        <source>Invalid property value</source>
        <translation>Invalid property value</translation>
    </message>
</context>
<context>
    <name>frmDialog</name>
    <message>
        <source>Digita l&apos;indirizzo da aggiungere</source>
        <translation>Type the address to add</translation>
    </message>
    <message>
        <source>Digita un nick per l&apos;indirizzo (es. Meteo per https://www.meteo.example.org/)</source>
        <translation>Type a nick for the address (e.g. Weather for https://www.meteo.example.org/)</translation>
    </message>
    <message>
        <source>Digita una breve descrizione del link da aggiungere</source>
        <translation>Type a short description of the link to add</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Add URL</source>
        <translation>Add URL</translation>
    </message>
</context>
<context>
    <name>frmDiff</name>
    <message>
        <source>Nessuna riga aggiunta</source>
        <translation>No lines added</translation>
    </message>
    <message>
        <source>Nessuna riga cambiata</source>
        <translation>No lines changed</translation>
    </message>
    <message>
        <source>1 riga aggiunta</source>
        <translation>1 line added</translation>
    </message>
    <message>
        <source>1 riga cambiata</source>
        <translation>1 line changed</translation>
    </message>
    <message>
        <source>%1 righe aggiunte</source>
        <translation>%1 lines added</translation>
    </message>
    <message>
        <source>%1 righe cambiate</source>
        <translation>%1 lines changed</translation>
    </message>
    <message>
        <source> (1 ignorata)</source>
        <translation> (1 ignored)</translation>
    </message>
    <message>
        <source> (%1 ignorate)</source>
        <translation> (%1 ignored)</translation>
    </message>
    <message>
        <source>Versione precedente</source>
        <translation>Earlier version</translation>
    </message>
    <message>
        <source>Versione successiva</source>
        <translation>Later version</translation>
    </message>
    <message>
        <source>Solo righe &amp;aggiunte</source>
        <translation>Only &amp;added lines</translation>
    </message>
    <message>
        <source>Solo righe aggiunte</source>
        <translation>Only added lines</translation>
    </message>
    <message>
        <source>Modifica &amp;precedente</source>
        <translation>&amp;Previous change</translation>
    </message>
    <message>
        <source>Modifica precedente</source>
        <translation>Previous change</translation>
    </message>
    <message>
        <source>Modifica &amp;successiva</source>
        <translation>&amp;Next change</translation>
    </message>
    <message>
        <source>Modifica successiva</source>
        <translation>Next change</translation>
    </message>
    <message>
        <source>Righe cambiate</source>
        <translation>Changed lines</translation>
    </message>
    <message>
        <source>Differenze</source>
        <translation>Differences</translation>
    </message>
    <message>
        <source>Differenze - %1</source>
        <translation>Differences - %1</translation>
    </message>
    <message>
        <source>Pri&amp;ma:</source>
        <translation>&amp;Before:</translation>
    </message>
    <message>
        <source>Prima</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>D&amp;opo:</source>
        <translation>Af&amp;ter:</translation>
    </message>
    <message>
        <source>Dopo</source>
        <translation>After</translation>
    </message>
    <message>
        <source> (troncata)</source>
        <translation> (truncated)</translation>
    </message>
    <message>
        <source>Nessuna cronologia per questa pagina.</source>
        <translation>No history for this page.</translation>
    </message>
    <message>
        <source>Nessuna versione precedente da confrontare.</source>
        <translation>No earlier version to compare.</translation>
    </message>
</context>
<context>
    <name>frmImport</name>
    <message>
        <source>Importa siti</source>
        <translation>Import sites</translation>
    </message>
    <message>
        <source>Cartella:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>Tutte le cartelle</source>
        <translation>All folders</translation>
    </message>
    <message>
        <source>Siti da aggiungere:</source>
        <translation>Sites to add:</translation>
    </message>
    <message>
        <source>Seleziona tutti</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Deseleziona tutti</source>
        <translation>Deselect all</translation>
    </message>
    <message>
        <source>Non importati:</source>
        <translation>Not imported:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Riepilogo</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot;: %3 di %4 siti da aggiungere; %5 voci non importate.</source>
        <translation>%1 &quot;%2&quot;: %3 of %4 sites to add; %5 items not imported.</translation>
    </message>
</context>
<context>
    <name>frmPreferences</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Set Timer Interval</source>
        <translation>Set Timer Interval</translation>
    </message>
    <message>
        <source>Controlla ogni...</source>
        <translation>Check every...</translation>
    </message>
    <message>
        <source>ore</source>
        <translation>hours</translation>
    </message>
    <message>
        <source>min</source>
        <translation>min</translation>
    </message>
    <message>
        <source>sec</source>
        <translation>sec</translation>
    </message>
    <message>
        <source>Imposta timeout ( &gt; 10s)</source>
        <translation>Set timeout ( &gt; 10s)</translation>
    </message>
    <message>
        <source>Totale</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>Attenzione!</source>
        <translation>Warning!</translation>
    </message>
    <message>
        <source>Il timeout non può essere minore di 15 secondi!</source>
        <translation>The timeout cannot be less than 15 seconds!</translation>
    </message>
    <message>
        <source>Un valore plausibile prevede almeno otto secondi di tempo per ogni URL.<byte value="xd"/>
Essendo presenti %1 diversi url, l&apos;intervallo di scansione degli stessi verrà<byte value="xd"/>
automaticamente impostato a %2 secondi.<byte value="xd"/>
Accetti le modifiche?</source>
        <translation>A sensible value allows at least eight seconds for each URL.<byte value="xd"/>
As there are %1 different URLs, the interval between checks will<byte value="xd"/>
be set to %2 seconds.<byte value="xd"/>
Do you accept the change?</translation>
    </message>
    <message>
        <source>Intervallo troppo breve!</source>
        <translation>Interval too short!</translation>
    </message>
    <message>
        <source>L&apos;intervallo non può superare %1 secondi (596 ore, 31 minuti e 23 secondi).</source>
        <translation>The interval cannot exceed %1 seconds (596 hours, 31 minutes and 23 seconds).</translation>
    </message>
</context>
<context>
    <name>frmQVL</name>
    <message>
        <source>imgClock</source>
        <translation>Timer clock</translation>
    </message>
    <message>
        <source>Imposta Timer</source>
        <translation>Set Timer</translation>
    </message>
    <message>
        <source>Avvia controllo</source>
        <translation>Start check</translation>
    </message>
    <message>
        <source>Arresta controllo</source>
        <translation>Stop check</translation>
    </message>
    <message>
        <source>Error %1</source>
        <translation>Error %1</translation>
    </message>
    <message>
        <source>Errore!</source>
        <translation>Error!</translation>
    </message>
    <message>
        <source>Errore %1: %2</source>
        <translation>Error %1: %2</translation>
    </message>
    <message>
        <source>Richiesta salvataggio</source>
        <translation>Save changes</translation>
    </message>
    <message>
        <source>Uscire senza salvare le modifiche apportate?</source>
        <translation>Quit without saving the changes made?</translation>
    </message>
    <message>
        <source>Timeout</source>
        <translation>Timeout</translation>
    </message>
</context>
<context>
    <name>frmSettings</name>
    <message>
        <source>&amp;Notifica quando un controllo periodico trova pagine cambiate</source>
        <translation>&amp;Notify when a periodic check finds changed pages</translation>
    </message>
    <message>
        <source>&amp;Riapri l&apos;ultimo elenco all&apos;avvio</source>
        <translation>&amp;Reopen the last list at start</translation>
    </message>
    <message>
        <source>Riattiva il &amp;timer all&apos;avvio se era attivo alla chiusura</source>
        <translation>Re-arm the &amp;timer at start if it was on at close</translation>
    </message>
    <message>
        <source>&amp;Salva l&apos;elenco dopo ogni controllo periodico</source>
        <translation>&amp;Save the list after each periodic check</translation>
    </message>
    <message>
        <source>Avvia all&apos;&amp;accesso, ridotto a icona</source>
        <translation>Start &amp;at login, minimised</translation>
    </message>
    <message>
        <source>Impostazioni</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Controlli falliti di seguito prima di notificare</source>
        <translation>Failed checks in a row before notifying</translation>
    </message>
    <message>
        <source>Chiedi</source>
        <translation>Ask</translation>
    </message>
    <message>
        <source>Esci</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Riduci a icona nell&apos;area di notifica</source>
        <translation>Minimise to the notification area</translation>
    </message>
    <message>
        <source>Chiudendo la finestra con il timer attivo</source>
        <translation>Closing the window while the timer is on</translation>
    </message>
    <message>
        <source>Controlli &amp;falliti di seguito prima di notificare un sito:</source>
        <translation>&amp;Failed checks in a row before a site is notified:</translation>
    </message>
    <message>
        <source>C&amp;hiudendo la finestra con il timer attivo:</source>
        <translation>C&amp;losing the window while the timer is on:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Richieste</source>
        <translation>Requests</translation>
    </message>
    <message>
        <source>Nessuno</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Del sistema (http_proxy, https_proxy, no_proxy)</source>
        <translation>The system&apos;s (http_proxy, https_proxy, no_proxy)</translation>
    </message>
    <message>
        <source>Manuale</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>Proxy</source>
        <translation>Proxy</translation>
    </message>
    <message>
        <source>host:porta</source>
        <translation>host:port</translation>
    </message>
    <message>
        <source>Indirizzo del proxy</source>
        <translation>Proxy address</translation>
    </message>
    <message>
        <source>Problema</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>User agent</source>
        <translation>User agent</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>Attesa tra due richieste allo stesso server</source>
        <translation>Wait between two requests to the same server</translation>
    </message>
    <message>
        <source>Richiesta completa ogni N controlli</source>
        <translation>Full request every N checks</translation>
    </message>
    <message>
        <source>&amp;Proxy:</source>
        <translation>&amp;Proxy:</translation>
    </message>
    <message>
        <source>&amp;Indirizzo del proxy:</source>
        <translation>Proxy a&amp;ddress:</translation>
    </message>
    <message>
        <source>&amp;User agent:</source>
        <translation>&amp;User agent:</translation>
    </message>
    <message>
        <source>Attesa tra due richieste allo stesso ser&amp;ver:</source>
        <translation>&amp;Wait between two requests to the same server:</translation>
    </message>
    <message>
        <source>Richiesta c&amp;ompleta ogni N controlli:</source>
        <translation>Full request e&amp;very N checks:</translation>
    </message>
    <message>
        <source>Scrivere il proxy come host:porta.</source>
        <translation>Write the proxy as host:port.</translation>
    </message>
</context>
<context>
    <name>frmShowModified</name>
    <message>
        <source>Pagine cambiate:</source>
        <translation>Changed pages:</translation>
    </message>
    <message>
        <source>Errori di timeout</source>
        <translation>Timeout errors</translation>
    </message>
    <message>
        <source>EXIT</source>
        <translation>EXIT</translation>
    </message>
    <message>
        <source>Check response</source>
        <translation>Check response</translation>
    </message>
    <message>
        <source>Apri</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Mostra differenze</source>
        <translation>Show differences</translation>
    </message>
</context>
<context>
    <name>frmSiteOptions</name>
    <message>
        <source>Confronta solo il &amp;testo della pagina</source>
        <translation>Compare only the page&apos;s &amp;text</translation>
    </message>
    <message>
        <source>Confronta solo il testo della pagina</source>
        <translation>Compare only the page&apos;s text</translation>
    </message>
    <message>
        <source>Ignora le &amp;cifre</source>
        <translation>Ignore &amp;digits</translation>
    </message>
    <message>
        <source>Ignora le cifre</source>
        <translation>Ignore digits</translation>
    </message>
    <message>
        <source>Righe da ignorare</source>
        <translation>Lines to ignore</translation>
    </message>
    <message>
        <source>Inizio regione</source>
        <translation>Region start</translation>
    </message>
    <message>
        <source>Fine regione</source>
        <translation>Region end</translation>
    </message>
    <message>
        <source>Anteprima</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>Opzioni sito</source>
        <translation>Site options</translation>
    </message>
    <message>
        <source>Righe da &amp;ignorare (un&apos;espressione regolare per riga):</source>
        <translation>Lines to &amp;ignore (one regular expression per line):</translation>
    </message>
    <message>
        <source>Inizio &amp;regione</source>
        <translation>&amp;Region start</translation>
    </message>
    <message>
        <source>Fine re&amp;gione</source>
        <translation>Region e&amp;nd</translation>
    </message>
    <message>
        <source>Pulsanti</source>
        <translation>Buttons</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Al massimo %1 regole per sito</source>
        <translation>At most %1 rules per site</translation>
    </message>
    <message>
        <source>Riga %1: %2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>…e altre %1 righe non valide.</source>
        <translation>…and %1 more invalid lines.</translation>
    </message>
    <message>
        <source>Le righe non valide non vengono salvate.</source>
        <translation>Invalid lines are not saved.</translation>
    </message>
    <message>
        <source>&amp;Anteprima:</source>
        <translation>&amp;Preview:</translation>
    </message>
    <message>
        <source>Nessuna versione salvata: l&apos;anteprima comparirà dopo il prossimo controllo in cui la pagina cambia.</source>
        <translation>No version saved: the preview will appear after the next check in which the page changes.</translation>
    </message>
    <message>
        <source>&amp;Anteprima dell&apos;ultima versione salvata:</source>
        <translation>&amp;Preview of the last saved version:</translation>
    </message>
    <message>
        <source>&amp;Anteprima dell&apos;ultima versione salvata (le regole valgono solo confrontando il testo della pagina):</source>
        <translation>&amp;Preview of the last saved version (the rules apply only when comparing the page&apos;s text):</translation>
    </message>
    <message>
        <source>La regola %1 è troppo costosa su questa pagina: conta come non corrispondente.</source>
        <translation>The rule %1 is too costly on this page: it counts as not matching.</translation>
    </message>
    <message>
        <source>Tipo di selettore</source>
        <translation>Selector kind</translation>
    </message>
    <message>
        <source>Selettore</source>
        <translation>Selector</translation>
    </message>
    <message>
        <source>Ante&amp;prima</source>
        <translation>Pre&amp;view</translation>
    </message>
    <message>
        <source>Scarica la pagina per l&apos;anteprima</source>
        <translation>Download the page for the preview</translation>
    </message>
    <message>
        <source>Pagine delle opzioni</source>
        <translation>Option pages</translation>
    </message>
    <message>
        <source>Test&amp;o</source>
        <translation>Te&amp;xt</translation>
    </message>
    <message>
        <source>Richi&amp;esta</source>
        <translation>Re&amp;quest</translation>
    </message>
    <message>
        <source>Testo</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>XPath</source>
        <translation>XPath</translation>
    </message>
    <message>
        <source>CSS</source>
        <translation>CSS</translation>
    </message>
    <message>
        <source>nessuno: tutta la pagina</source>
        <translation>none: the whole page</translation>
    </message>
    <message>
        <source>Scarica la pagina una volta, come la chiederebbe un controllo, per provarci il selettore e le regole</source>
        <translation>Downloads the page once, as a check would ask for it, to try the selector and the rules on it</translation>
    </message>
    <message>
        <source>&amp;Selettore:</source>
        <translation>&amp;Selector:</translation>
    </message>
    <message>
        <source>Selettore non supportato: %1</source>
        <translation>Selector not supported: %1</translation>
    </message>
    <message>
        <source>Errore %1: %2</source>
        <translation>Error %1: %2</translation>
    </message>
    <message>
        <source>Pagina più grande di %1 KiB: confrontata per intero, non per testo.</source>
        <translation>Page larger than %1 KiB: compared whole, not by its text.</translation>
    </message>
    <message>
        <source>Pagina senza testo: confrontata per intero, non per testo.</source>
        <translation>Page without text: compared whole, not by its text.</translation>
    </message>
    <message>
        <source>Scaricamento della pagina…</source>
        <translation>Downloading the page…</translation>
    </message>
    <message>
        <source>Il selettore si prova sulla pagina scaricata: premi Anteprima.</source>
        <translation>The selector is tried on the downloaded page: press Preview.</translation>
    </message>
    <message>
        <source>&amp;Anteprima della pagina scaricata:</source>
        <translation>&amp;Preview of the downloaded page:</translation>
    </message>
    <message numerus="yes">
        <source>%n elementi corrispondono al selettore</source>
        <translation>
            <numerusform>%n element matches the selector</numerusform>
            <numerusform>%n elements match the selector</numerusform>
        </translation>
    </message>
    <message>
        <source>Nessun elemento corrisponde al selettore</source>
        <translation>No element matches the selector</translation>
    </message>
    <message>
        <source>Pagina troppo grande o troppo annidata per leggerne il testo: confrontata per intero, non per testo.</source>
        <translation>Page too large or too deeply nested to read its text: compared whole, not by its text.</translation>
    </message>
    <message>
        <source>&amp;Anteprima della pagina scaricata (selettore e regole valgono solo confrontando il testo della pagina):</source>
        <translation>&amp;Preview of the downloaded page (selector and rules apply only when comparing the text of the page):</translation>
    </message>
    <message>
        <source>Lettura della pagina…</source>
        <translation>Reading the page…</translation>
    </message>
</context>
<context>
    <name>frmSplash</name>
    <message>
        <source>Quovel</source>
        <translation>Quovel</translation>
    </message>
    <message>
        <source>v. %1</source>
        <translation>v. %1</translation>
    </message>
    <message>
        <source>Linux</source>
        <translation>Linux</translation>
    </message>
    <message>
        <source>Scritto, per ora, da:</source>
        <translation>Written, for now, by:</translation>
    </message>
    <message>
        <source>gli sviluppatori di Quovel</source>
        <translation>the Quovel developers</translation>
    </message>
    <message>
        <source>Mail me</source>
        <translation>Mail me</translation>
    </message>
    <message>
        <source>&quot;Ho provato Quovel e trovo che sia...&quot;</source>
        <translation>&quot;I tried Quovel and I find it...&quot;</translation>
    </message>
    <message>
        <source>Open Source</source>
        <translation>Open Source</translation>
    </message>
    <message>
        <source>Quovel è software libero: GNU General Public License, versione 3 o successiva. È costruito con Qt (finestre), libcurl (pagine web), pugixml (file della lista), libxml2 (testo delle pagine), PCRE2 (espressioni regolari), dtl (differenze), zlib (impronte CRC-32) e zstd (cronologia): grazie ai loro autori.</source>
        <translation>Quovel is free software: GNU General Public License, version 3 or later. It is built with Qt (windows), libcurl (web pages), pugixml (list file), libxml2 (page text), PCRE2 (regular expressions), dtl (differences), zlib (CRC-32 fingerprints) and zstd (history): thanks to their authors.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Quovel: quali pagine web sono cambiate dall&apos;ultima visita.</source>
        <translation>Quovel: which web pages changed since your last visit.</translation>
    </message>
    <message>
        <source>Lingua di questa esecuzione: it (italiano), en (inglese) o source (i testi originali).</source>
        <translation>Language of this run: it (Italian), en (English) or source (the original texts).</translation>
    </message>
    <message>
        <source>elenco dei siti da aprire (.qvl o .xml)</source>
        <translation>list of sites to open (.qvl or .xml)</translation>
    </message>
    <message>
        <source>Avvia una nuova finestra anche se Quovel è già aperto in questa sessione.</source>
        <translation>Start a new window even when Quovel already runs in this session.</translation>
    </message>
    <message>
        <source>Avvia ridotto a icona (nell&apos;area di notifica, dove c&apos;è).</source>
        <translation>Start minimised (to the notification area where there is one).</translation>
    </message>
</context>
</TS>
