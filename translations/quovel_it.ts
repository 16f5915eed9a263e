<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>BookmarkImport</name>
    <message>
        <source>Il file ha cartelle annidate oltre %1 livelli.</source>
        <translation>Il file ha cartelle annidate oltre %1 livelli.</translation>
    </message>
    <message>
        <source>Il file contiene più di %1 siti.</source>
        <translation>Il file contiene più di %1 siti.</translation>
    </message>
</context>
<context>
    <name>CheckRun</name>
    <message>
        <source>Pagina troppo grande o troppo annidata per leggerne il testo: confrontata per intero, non per testo.</source>
        <translation>Pagina troppo grande o troppo annidata per leggerne il testo: confrontata per intero, non per testo.</translation>
    </message>
    <message>
        <source>Nessun elemento corrisponde al selettore</source>
        <translation>Nessun elemento corrisponde al selettore</translation>
    </message>
    <message>
        <source>Selettore non supportato: %1</source>
        <translation>Selettore non supportato: %1</translation>
    </message>
    <message>
        <source>Errore %1.</source>
        <translation>Errore %1.</translation>
    </message>
    <message>
        <source>Browsing %1...</source>
        <translation>Lettura di %1...</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>Tipo non corrispondente</translation>
    </message>
    <message>
        <source>Pagina più grande di %1 KiB: confrontata per intero, non per testo.</source>
        <translation>Pagina più grande di %1 KiB: confrontata per intero, non per testo.</translation>
    </message>
    <message>
        <source>Pagina senza testo (%1): confrontata per intero, non per testo.</source>
        <translation>Pagina senza testo (%1): confrontata per intero, non per testo.</translation>
    </message>
    <message>
        <source>Last check at %1</source>
        <translation>Ultimo controllo alle %1</translation>
    </message>
    <message>
        <source>: riprovare dopo il %1.</source>
        <translation>: riprovare dopo il %1.</translation>
    </message>
    <message>
        <source>Mancano le intestazioni segrete del sito (Cookie, Authorization) nelle impostazioni di questo utente: la pagina non è richiesta senza.</source>
        <translation>Mancano le intestazioni segrete del sito (Cookie, Authorization) nelle impostazioni di questo utente: la pagina non è richiesta senza.</translation>
    </message>
    <message>
        <source>Il server ha chiesto di non essere interrogato prima del %1.</source>
        <translation>Il server ha chiesto di non essere interrogato prima del %1.</translation>
    </message>
</context>
<context>
    <name>CheckScheduler</name>
    <message>
        <source>Timer disabled</source>
        <translation>Timer disattivato</translation>
    </message>
    <message>
        <source>Next check at </source>
        <translation>Prossimo controllo: </translation>
    </message>
    <message>
        <source>Error: PC not online.</source>
        <translation>Errore: il PC non è in linea.</translation>
    </message>
    <message>
        <source>Il PC non è connesso ad Internet.<byte value="xd"/>
Avviare una connessione e riprovare...</source>
        <translation>Il PC non è connesso ad Internet.<byte value="xd"/>
Avviare una connessione e riprovare...</translation>
    </message>
    <message>
        <source>Intervallo non valido: %1 secondi.<byte value="xd"/>
Il timer accetta da 1 a %2 secondi.</source>
        <translation>Intervallo non valido: %1 secondi.<byte value="xd"/>
Il timer accetta da 1 a %2 secondi.</translation>
    </message>
</context>
<context>
    <name>CommonDialog</name>
    <message>
        <source>This dialog is not available on this system.</source>
        <translation>Questa finestra non è disponibile su questo sistema.</translation>
    </message>
    <message>
        <source>Cancel was selected.</source>
        <translation>È stato scelto Annulla.</translation>
    </message>
</context>
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>Mostra i risultati</source>
        <translation>Mostra i risultati</translation>
    </message>
    <message>
        <source>Mostra differenze</source>
        <translation>Mostra differenze</translation>
    </message>
</context>
<context>
    <name>FileCommands</name>
    <message>
        <source>Siti.qvl</source>
        <translation>Siti.qvl</translation>
    </message>
    <message>
        <source>Save error</source>
        <translation>Errore di salvataggio</translation>
    </message>
    <message>
        <source> e altri %1</source>
        <translation> e altri %1</translation>
    </message>
    <message>
        <source>Elenco ricaricato: il file è stato salvato da un altro programma.</source>
        <translation>Elenco ricaricato: il file è stato salvato da un altro programma.</translation>
    </message>
    <message>
        <source>Il file è stato salvato da un altro programma: il prossimo salvataggio unirà le sue modifiche alle tue.</source>
        <translation>Il file è stato salvato da un altro programma: il prossimo salvataggio unirà le sue modifiche alle tue.</translation>
    </message>
    <message>
        <source>Salvato unendo le modifiche di un altro programma: %1</source>
        <translation>Salvato unendo le modifiche di un altro programma: %1</translation>
    </message>
</context>
<context>
    <name>ImportCommand</name>
    <message>
        <source>Importa siti</source>
        <translation>Importa siti</translation>
    </message>
    <message>
        <source>Elenchi di siti (*.yaml *.yml *.opml *.xml *.html *.htm *.txt)|*.yaml;*.yml;*.opml;*.xml;*.html;*.htm;*.txt|Tutti i file (*)|*</source>
        <translation>Elenchi di siti (*.yaml *.yml *.opml *.xml *.html *.htm *.txt)|*.yaml;*.yml;*.opml;*.xml;*.html;*.htm;*.txt|Tutti i file (*)|*</translation>
    </message>
</context>
<context>
    <name>ImportPreviewModel</name>
    <message>
        <source>testo</source>
        <translation>testo</translation>
    </message>
    <message numerus="yes">
        <source>%n regole da ignorare</source>
        <translation>
            <numerusform>%n regola da ignorare</numerusform>
            <numerusform>%n regole da ignorare</numerusform>
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
        <translation>Descrizione</translation>
    </message>
    <message>
        <source>Opzioni</source>
        <translation>Opzioni</translation>
    </message>
    <message>
        <source>selettore %1</source>
        <translation>selettore %1</translation>
    </message>
</context>
<context>
    <name>ListEditing</name>
    <message>
        <source>Attenzione: URL duplicato.</source>
        <translation>Attenzione: URL duplicato.</translation>
    </message>
    <message>
        <source>Questo indirizzo appartiene già alla lista!</source>
        <translation>Questo indirizzo appartiene già alla lista!</translation>
    </message>
    <message>
        <source>Errore %1</source>
        <translation>Errore %1</translation>
    </message>
    <message>
        <source>Errore %1: %2</source>
        <translation>Errore %1: %2</translation>
    </message>
    <message>
        <source>Chiave già presente nella lista</source>
        <translation>Chiave già presente nella lista</translation>
    </message>
    <message>
        <source>Error: Missing URL.</source>
        <translation>Errore: manca l&apos;indirizzo.</translation>
    </message>
    <message>
        <source>Seleziona prima l&apos;indirizzo che intendi modificare!</source>
        <translation>Seleziona prima l&apos;indirizzo che intendi modificare!</translation>
    </message>
    <message>
        <source>Conferma eliminazione.</source>
        <translation>Conferma eliminazione.</translation>
    </message>
    <message>
        <source>Vuoi davvero eliminare l&apos;indirizzo:<byte value="xd"/>
%1<byte value="xd"/>
dall&apos;elenco?</source>
        <translation>Vuoi davvero eliminare l&apos;indirizzo:<byte value="xd"/>
%1<byte value="xd"/>
dall&apos;elenco?</translation>
    </message>
</context>
<context>
    <name>ListInteraction</name>
    <message>
        <source>Controllo periodico non prima del %1</source>
        <translation>Controllo periodico non prima del %1</translation>
    </message>
    <message>
        <source>Non raggiungibile dal %1</source>
        <translation>Non raggiungibile dal %1</translation>
    </message>
    <message>
        <source>Non raggiungibile dal %1: %2</source>
        <translation>Non raggiungibile dal %1: %2</translation>
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
        <translation>&amp;Apri</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Salva</translation>
    </message>
    <message>
        <source>Op&amp;tion</source>
        <translation>Op&amp;zioni</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Esci</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Modifica</translation>
    </message>
    <message>
        <source>&amp;Add URL</source>
        <translation>&amp;Aggiungi indirizzo</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Elimina</translation>
    </message>
    <message>
        <source>&amp;Modify selected URL</source>
        <translation>&amp;Modifica l&apos;indirizzo selezionato</translation>
    </message>
    <message>
        <source>&amp;Copy URL to Clipboard</source>
        <translation>&amp;Copia l&apos;indirizzo negli appunti</translation>
    </message>
    <message>
        <source>Mostra d&amp;ifferenze</source>
        <translation>Mostra d&amp;ifferenze</translation>
    </message>
    <message>
        <source>&amp;Opzioni sito…</source>
        <translation>&amp;Opzioni sito…</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <translation>&amp;Seleziona</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Seleziona &amp;tutti</translation>
    </message>
    <message>
        <source>&amp;Deselect all items</source>
        <translation>&amp;Deseleziona tutti</translation>
    </message>
    <message>
        <source>&amp;Invert selection</source>
        <translation>&amp;Inverti selezione</translation>
    </message>
    <message>
        <source>&amp;?</source>
        <translation>&amp;?</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Guida</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Informazioni su Quovel</translation>
    </message>
    <message>
        <source>Popup1</source>
        <translation>Popup1</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Avvia</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>&amp;Ferma</translation>
    </message>
    <message>
        <source>Seleziona tutti</source>
        <translation>Seleziona tutti</translation>
    </message>
    <message>
        <source>Deseleziona tutti</source>
        <translation>Deseleziona tutti</translation>
    </message>
    <message>
        <source>Inverti selezione</source>
        <translation>Inverti selezione</translation>
    </message>
    <message>
        <source>Aggiungi</source>
        <translation>Aggiungi</translation>
    </message>
    <message>
        <source>Modifica</source>
        <translation>Modifica</translation>
    </message>
    <message>
        <source>Elimina</source>
        <translation>Elimina</translation>
    </message>
    <message>
        <source>&amp;Copia</source>
        <translation>&amp;Copia</translation>
    </message>
    <message>
        <source>Esci</source>
        <translation>Esci</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Barra degli strumenti</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Apri</translation>
    </message>
    <message>
        <source>Apre un nuovo elenco degli indirizzi</source>
        <translation>Apre un nuovo elenco degli indirizzi</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salva</translation>
    </message>
    <message>
        <source>Salva l&apos;elenco degli indirizzi</source>
        <translation>Salva l&apos;elenco degli indirizzi</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Elimina</translation>
    </message>
    <message>
        <source>Elimina la riga selezionata</source>
        <translation>Elimina la riga selezionata</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Modifica</translation>
    </message>
    <message>
        <source>Modifica l&apos;URL selezionato</source>
        <translation>Modifica l&apos;URL selezionato</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copia</translation>
    </message>
    <message>
        <source>Copia l&apos;url selezionato</source>
        <translation>Copia l&apos;url selezionato</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Incolla</translation>
    </message>
    <message>
        <source>Scrive il contenuto della clipboard</source>
        <translation>Scrive il contenuto della clipboard</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Avvia</translation>
    </message>
    <message>
        <source>Inizia la lettura delle pagine</source>
        <translation>Inizia la lettura delle pagine</translation>
    </message>
    <message>
        <source>I&amp;mporta…</source>
        <translation>I&amp;mporta…</translation>
    </message>
</context>
<context>
    <name>OpmlImport</name>
    <message>
        <source>Il file OPML ha troppi elementi.</source>
        <translation>Il file OPML ha troppi elementi.</translation>
    </message>
    <message>
        <source>Il file OPML non è XML valido (byte %1): %2</source>
        <translation>Il file OPML non è XML valido (byte %1): %2</translation>
    </message>
    <message>
        <source>Il file non è un file OPML: manca &lt;opml&gt;&lt;body&gt;.</source>
        <translation>Il file non è un file OPML: manca &lt;opml&gt;&lt;body&gt;.</translation>
    </message>
    <message>
        <source>Il file contiene più di %1 siti.</source>
        <translation>Il file contiene più di %1 siti.</translation>
    </message>
    <message>
        <source>Il file ha cartelle annidate oltre %1 livelli.</source>
        <translation>Il file ha cartelle annidate oltre %1 livelli.</translation>
    </message>
</context>
<context>
    <name>PaceEdit</name>
    <message>
        <source>Controlla al &amp;massimo ogni</source>
        <translation>Controlla al &amp;massimo ogni</translation>
    </message>
    <message>
        <source>Controlla al massimo ogni</source>
        <translation>Controlla al massimo ogni</translation>
    </message>
    <message>
        <source>Intervallo minimo</source>
        <translation>Intervallo minimo</translation>
    </message>
    <message>
        <source>Unità dell&apos;intervallo</source>
        <translation>Unità dell&apos;intervallo</translation>
    </message>
    <message>
        <source>minuti</source>
        <translation>minuti</translation>
    </message>
    <message>
        <source>ore</source>
        <translation>ore</translation>
    </message>
    <message>
        <source>giorni</source>
        <translation>giorni</translation>
    </message>
</context>
<context>
    <name>PageFetcher</name>
    <message>
        <source>Tempo scaduto: la pagina non è arrivata entro 1 secondo.</source>
        <translation>Tempo scaduto: la pagina non è arrivata entro 1 secondo.</translation>
    </message>
    <message>
        <source>Tempo scaduto: la pagina non è arrivata entro %1 secondi.</source>
        <translation>Tempo scaduto: la pagina non è arrivata entro %1 secondi.</translation>
    </message>
    <message>
        <source>Indirizzo non valido: sono ammessi solo indirizzi http e https.</source>
        <translation>Indirizzo non valido: sono ammessi solo indirizzi http e https.</translation>
    </message>
    <message>
        <source>Host non trovato.</source>
        <translation>Host non trovato.</translation>
    </message>
    <message>
        <source>Connessione al server non riuscita.</source>
        <translation>Connessione al server non riuscita.</translation>
    </message>
    <message>
        <source>Connessione sicura (TLS) non riuscita.</source>
        <translation>Connessione sicura (TLS) non riuscita.</translation>
    </message>
    <message>
        <source>Troppi reindirizzamenti.</source>
        <translation>Troppi reindirizzamenti.</translation>
    </message>
    <message>
        <source>Trasferimento interrotto o incompleto.</source>
        <translation>Trasferimento interrotto o incompleto.</translation>
    </message>
    <message>
        <source>Errore del proxy.</source>
        <translation>Errore del proxy.</translation>
    </message>
    <message>
        <source>Risposta del server non valida.</source>
        <translation>Risposta del server non valida.</translation>
    </message>
    <message>
        <source>Errore interno: il trasferimento non è partito.</source>
        <translation>Errore interno: il trasferimento non è partito.</translation>
    </message>
    <message>
        <source>Errore di rete.</source>
        <translation>Errore di rete.</translation>
    </message>
    <message>
        <source>: reindirizzamento senza una destinazione utilizzabile.</source>
        <translation>: reindirizzamento senza una destinazione utilizzabile.</translation>
    </message>
    <message>
        <source>libcurl non inizializzata</source>
        <translation>libcurl non inizializzata</translation>
    </message>
    <message>
        <source>Indirizzo troppo lungo</source>
        <translation>Indirizzo troppo lungo</translation>
    </message>
    <message>
        <source>Un&apos;intestazione sta su una riga sola.</source>
        <translation>Un&apos;intestazione sta su una riga sola.</translation>
    </message>
    <message>
        <source>Scrivere l&apos;intestazione come «Nome: valore».</source>
        <translation>Scrivere l&apos;intestazione come «Nome: valore».</translation>
    </message>
    <message>
        <source>L&apos;intestazione %1 la scrive il programma stesso.</source>
        <translation>L&apos;intestazione %1 la scrive il programma stesso.</translation>
    </message>
    <message>
        <source>L&apos;intestazione %1 non ha un valore.</source>
        <translation>L&apos;intestazione %1 non ha un valore.</translation>
    </message>
    <message>
        <source>Il server ha chiesto di non essere interrogato per %1 secondi.</source>
        <translation>Il server ha chiesto di non essere interrogato per %1 secondi.</translation>
    </message>
</context>
<context>
    <name>PlainTextLines</name>
    <message>
        <source> [ignorata]</source>
        <translation> [ignorata]</translation>
    </message>
    <message>
        <source> [fuori regione]</source>
        <translation> [fuori regione]</translation>
    </message>
</context>
<context>
    <name>QuovelCheck</name>
    <message>
        <source>Write the new fingerprints and times back into FILE.</source>
        <translation>Riscrive in FILE le nuove impronte e le ore.</translation>
    </message>
    <message>
        <source>Fetch timeout in seconds (default: the Timeout setting).</source>
        <translation>Timeout di lettura in secondi (predefinito: l&apos;impostazione Timeout).</translation>
    </message>
    <message>
        <source>Pages fetched at once (default: the Parallel setting).</source>
        <translation>Pagine lette insieme (predefinito: l&apos;impostazione Parallel).</translation>
    </message>
    <message>
        <source>After the entries, a unified diff of each changed page&apos;s text against its previous version; for a site in text mode, lines its rules leave out are marked &apos;~&apos;, not &apos;-&apos; or &apos;+&apos;.</source>
        <translation>Dopo le voci, le differenze (formato unificato) del testo di ogni pagina cambiata rispetto alla versione precedente; per un sito in modalità testo, le righe che le sue regole escludono sono segnate &apos;~&apos;, non &apos;-&apos; o &apos;+&apos;.</translation>
    </message>
    <message>
        <source>Check nothing: print the text that text mode sees in the page at URL, one line per line. With a list FILE, the rules of that URL&apos;s site apply (its selector too: standard error says how many elements matched) and every line is marked: &apos;  &apos; kept, &apos;~ &apos; left out by an ignore rule, &apos;# &apos; outside the region.</source>
        <translation>Non controlla nulla: stampa il testo che la modalità testo vede nella pagina all&apos;URL, una riga per riga. Con un FILE elenco si applicano le regole del sito di quell&apos;URL (anche il selettore: lo standard error dice quanti elementi corrispondono) e ogni riga è segnata: &apos;  &apos; tenuta, &apos;~ &apos; esclusa da una regola da ignorare, &apos;# &apos; fuori dalla regione.</translation>
    </message>
    <message>
        <source>The list file to check.</source>
        <translation>Il file elenco da controllare.</translation>
    </message>
    <message>
        <source>quovel-check: give exactly one list file (see --help)
</source>
        <translation>quovel-check: indicare un solo file elenco (vedi --help)
</translation>
    </message>
    <message>
        <source>quovel-check: --timeout takes a whole number of seconds from 1
</source>
        <translation>quovel-check: --timeout vuole un numero intero di secondi da 1 in su
</translation>
    </message>
    <message>
        <source>quovel-check: --parallel takes a whole number from 1
</source>
        <translation>quovel-check: --parallel vuole un numero intero da 1 in su
</translation>
    </message>
    <message>
        <source>Errore %1: %2
</source>
        <translation>Errore %1: %2
</translation>
    </message>
    <message>
        <source>quovel-check: cannot write to standard output: %1
</source>
        <translation>quovel-check: impossibile scrivere sull&apos;uscita standard: %1
</translation>
    </message>
    <message>
        <source>quovel-check: cannot write to standard output
</source>
        <translation>quovel-check: impossibile scrivere sull&apos;uscita standard
</translation>
    </message>
    <message>
        <source>No history kept for %1
</source>
        <translation>Nessuna cronologia tenuta per %1
</translation>
    </message>
    <message>
        <source>The history file of %1 is damaged: %2 versions kept%3; the others go at the next version written
</source>
        <translation>Il file della cronologia di %1 è danneggiato: %2 versioni tenute%3; le altre se ne vanno alla prossima versione scritta
</translation>
    </message>
    <message>
        <source> of %1</source>
        <translation> su %1</translation>
    </message>
    <message>
        <source>%1 versions kept
</source>
        <translation>%1 versioni tenute
</translation>
    </message>
    <message>
        <source>Checks every page of a Quovel list file and prints one line per entry: marker, fingerprint, URL.
Exit status: 0 nothing changed or timed out, 1 something did or could not be fetched, 2 the file could not be read, the run ended on an error, or the output could not be written.
With --history: 0 the history was read whole (or there is none), 1 its file is damaged.</source>
        <translation>Controlla ogni pagina di un file elenco di Quovel e scrive una riga per voce: segno, impronta, URL.
Stato di uscita: 0 nulla è cambiato o è andato in timeout, 1 qualcosa sì o non si è potuto scaricare, 2 il file non si è potuto leggere, il controllo è finito in errore o l&apos;uscita non si è potuta scrivere.
Con --history: 0 la cronologia è stata letta per intero (o non c&apos;è), 1 il suo file è danneggiato.</translation>
    </message>
    <message>
        <source>List the versions kept in the history of URL&apos;s page, oldest first: check time, body fingerprint, text size in bytes, complete or truncated. No list file is read.</source>
        <translation>Elenca le versioni tenute nella cronologia della pagina di URL, dalla più vecchia: ora del controllo, impronta del contenuto, dimensione del testo in byte, completa o troncata. Non legge alcun file elenco.</translation>
    </message>
    <message>
        <source>quovel-check: --history takes a URL and no list file
</source>
        <translation>quovel-check: --history vuole un URL e nessun file elenco
</translation>
    </message>
    <message>
        <source>quovel-check: %1 was saved by another program during the run; merged: %2
</source>
        <translation>quovel-check: %1 è stato salvato da un altro programma durante il controllo; uniti: %2
</translation>
    </message>
    <message>
        <source>: Errore %1: %2
</source>
        <translation>: Errore %1: %2
</translation>
    </message>
    <message>
        <source>The history file of %1 was written by a newer version of Quovel: it is left as it is
</source>
        <translation>Il file della cronologia di %1 è stato scritto da una versione più recente di Quovel: resta com&apos;è
</translation>
    </message>
    <message>
        <source>Report a failing page once per outage: marked &quot;?&quot; (exit status 1) on its K-th failed check in a row, &quot;~&quot; on the others, and a line when it is reachable again. Use with --save, which keeps the counts.</source>
        <translation>Segnala una pagina che non risponde una volta per interruzione: &quot;?&quot; (stato di uscita 1) al K-esimo controllo fallito di seguito, &quot;~&quot; agli altri, e una riga quando è di nuovo raggiungibile. Da usare con --save, che conserva i conteggi.</translation>
    </message>
    <message>
        <source>quovel-check: --report-failures-after takes a whole number from 1
</source>
        <translation>quovel-check: --report-failures-after vuole un numero intero da 1
</translation>
    </message>
    <message>
        <source>%1: di nuovo raggiungibile (non raggiungibile dal %2)
</source>
        <translation>%1: di nuovo raggiungibile (non raggiungibile dal %2)
</translation>
    </message>
    <message>
        <source>%1 of %2 checked: %3 changed, %4 timed out%5
</source>
        <translation>%1 di %2 controllate: %3 cambiate, %4 in timeout%5
</translation>
    </message>
    <message>
        <source>, %1 not due</source>
        <translation>, %1 non ancora da controllare</translation>
    </message>
    <message>
        <source>%1 added, %2 not imported
</source>
        <translation>%1 aggiunti, %2 non importati
</translation>
    </message>
    <message>
        <source>Add the pages of IMPORT (a urlwatch job list, an OPML file, browser bookmarks in HTML, or one URL a line) to FILE, which need not exist yet, and check nothing; with --save FILE is written. Added URLs go to standard output, what is not imported and why to standard error. Exit status 0, or 2 when IMPORT or FILE cannot be read or FILE cannot be written.</source>
        <translation>Aggiunge a FILE, che può ancora non esistere, le pagine di IMPORT (un elenco di job di urlwatch, un file OPML, i segnalibri di un browser in HTML, o un URL per riga) e non controlla nulla; con --save scrive FILE. Gli URL aggiunti vanno sullo standard output, ciò che non è importato e perché sullo standard error. Stato di uscita 0, o 2 quando IMPORT o FILE non si possono leggere o FILE non si può scrivere.</translation>
    </message>
</context>
<context>
    <name>RunNotifier</name>
    <message>
        <source>1 pagina cambiata</source>
        <translation>1 pagina cambiata</translation>
    </message>
    <message>
        <source>%1 pagine cambiate</source>
        <translation>%1 pagine cambiate</translation>
    </message>
    <message>
        <source>1 sito non raggiungibile</source>
        <translation>1 sito non raggiungibile</translation>
    </message>
    <message>
        <source>%1 siti non raggiungibili</source>
        <translation>%1 siti non raggiungibili</translation>
    </message>
    <message>
        <source>1 sito di nuovo raggiungibile</source>
        <translation>1 sito di nuovo raggiungibile</translation>
    </message>
    <message>
        <source>%1 siti di nuovo raggiungibili</source>
        <translation>%1 siti di nuovo raggiungibili</translation>
    </message>
</context>
<context>
    <name>SessionKeeper</name>
    <message>
        <source>File &amp;recenti</source>
        <translation>File &amp;recenti</translation>
    </message>
    <message>
        <source>&amp;Impostazioni…</source>
        <translation>&amp;Impostazioni…</translation>
    </message>
    <message>
        <source>Quovel</source>
        <translation>Quovel</translation>
    </message>
    <message>
        <source>Il controllo periodico è attivo. Lasciare Quovel nell&apos;area di notifica, invece di uscire? La scelta si può cambiare nelle impostazioni.</source>
        <translation>Il controllo periodico è attivo. Lasciare Quovel nell&apos;area di notifica, invece di uscire? La scelta si può cambiare nelle impostazioni.</translation>
    </message>
    <message>
        <source>Impostazioni</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <source>Impossibile scrivere %1</source>
        <translation>Impossibile scrivere %1</translation>
    </message>
</context>
<context>
    <name>SiteImport</name>
    <message>
        <source>Il file contiene più di %1 siti.</source>
        <translation>Il file contiene più di %1 siti.</translation>
    </message>
    <message>
        <source>il file non esiste</source>
        <translation>il file non esiste</translation>
    </message>
    <message>
        <source>Impossibile leggere il file &quot;%1&quot;: %2</source>
        <translation>Impossibile leggere il file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Il file supera %1 MiB.</source>
        <translation>Il file supera %1 MiB.</translation>
    </message>
    <message>
        <source>Il file non è testo UTF-8.</source>
        <translation>Il file non è testo UTF-8.</translation>
    </message>
    <message>
        <source>Il file non è un elenco di siti che si possa importare: né OPML né segnalibri.</source>
        <translation>Il file non è un elenco di siti che si possa importare: né OPML né segnalibri.</translation>
    </message>
    <message>
        <source>Un elenco di urlwatch di oltre %1 KiB non viene letto.</source>
        <translation>Un elenco di urlwatch di oltre %1 KiB non viene letto.</translation>
    </message>
    <message>
        <source>non è un indirizzo http o https</source>
        <translation>non è un indirizzo http o https</translation>
    </message>
    <message>
        <source>già nella lista</source>
        <translation>già nella lista</translation>
    </message>
    <message>
        <source>ripetuto nel file</source>
        <translation>ripetuto nel file</translation>
    </message>
    <message>
        <source>elenco di urlwatch</source>
        <translation>elenco di urlwatch</translation>
    </message>
    <message>
        <source>file OPML</source>
        <translation>file OPML</translation>
    </message>
    <message>
        <source>segnalibri del browser</source>
        <translation>segnalibri del browser</translation>
    </message>
    <message>
        <source>elenco di indirizzi</source>
        <translation>elenco di indirizzi</translation>
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
        <translation>   Ultimo controllo</translation>
    </message>
    <message>
        <source>   Descrizione</source>
        <translation>   Descrizione</translation>
    </message>
</context>
<context>
    <name>SiteListFile</name>
    <message>
        <source>no file name</source>
        <translation>nessun nome di file</translation>
    </message>
    <message>
        <source>file does not exist</source>
        <translation>il file non esiste</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>non è un file normale</translation>
    </message>
    <message>
        <source>file larger than 256 MiB</source>
        <translation>file più grande di 256 MiB</translation>
    </message>
    <message>
        <source>cannot open: </source>
        <translation>impossibile aprire: </translation>
    </message>
    <message>
        <source>cannot read: </source>
        <translation>impossibile leggere: </translation>
    </message>
    <message>
        <source>record %1 has no attribute</source>
        <translation>il record %1 non ha attributi</translation>
    </message>
    <message>
        <source>record %1: attribute holds a character XML does not allow</source>
        <translation>record %1: l&apos;attributo contiene un carattere che XML non ammette</translation>
    </message>
    <message>
        <source>record %1 has %2 child nodes, not four</source>
        <translation>il record %1 ha %2 nodi figli, non quattro</translation>
    </message>
    <message>
        <source>record %1: %2</source>
        <translation>record %1: %2</translation>
    </message>
    <message>
        <source>record %1 options: %2</source>
        <translation>opzioni del record %1: %2</translation>
    </message>
    <message>
        <source>not valid UTF-8 XML text at byte %1</source>
        <translation>testo XML UTF-8 non valido al byte %1</translation>
    </message>
    <message>
        <source>reference to a character XML does not allow at byte %1</source>
        <translation>riferimento a un carattere che XML non ammette al byte %1</translation>
    </message>
    <message>
        <source>too much markup</source>
        <translation>troppi marcatori</translation>
    </message>
    <message>
        <source>not well-formed: %1 at byte %2</source>
        <translation>XML non ben formato: %1 al byte %2</translation>
    </message>
    <message>
        <source>document type declaration refused</source>
        <translation>dichiarazione del tipo di documento rifiutata</translation>
    </message>
    <message>
        <source>not well-formed: misplaced XML declaration</source>
        <translation>XML non ben formato: dichiarazione XML fuori posto</translation>
    </message>
    <message>
        <source>not well-formed: text outside the root element</source>
        <translation>XML non ben formato: testo fuori dall&apos;elemento radice</translation>
    </message>
    <message>
        <source>not well-formed: %1 root elements</source>
        <translation>XML non ben formato: %1 elementi radice</translation>
    </message>
    <message>
        <source>not a site list: the root element is &lt;%1&gt;, not &lt;ElencoSiti&gt;</source>
        <translation>non è un elenco di siti: l&apos;elemento radice è &lt;%1&gt;, non &lt;ElencoSiti&gt;</translation>
    </message>
    <message>
        <source>la voce %1 (%2) contiene nel campo %3 un carattere che un file XML non può contenere. Correggila e salva di nuovo.</source>
        <translation>la voce %1 (%2) contiene nel campo %3 un carattere che un file XML non può contenere. Correggila e salva di nuovo.</translation>
    </message>
    <message>
        <source>Impossibile salvare il file &quot;%1&quot;: %2</source>
        <translation>Impossibile salvare il file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>l&apos;elenco supera 256 MiB e non potrebbe essere riaperto.</source>
        <translation>l&apos;elenco supera 256 MiB e non potrebbe essere riaperto.</translation>
    </message>
    <message>
        <source>nessun nome di file.</source>
        <translation>nessun nome di file.</translation>
    </message>
    <message>
        <source>il percorso è una cartella.</source>
        <translation>il percorso è una cartella.</translation>
    </message>
    <message>
        <source>un altro programma lo sta salvando (%1 bloccato).</source>
        <translation>un altro programma lo sta salvando (%1 bloccato).</translation>
    </message>
    <message>
        <source>un altro programma lo ha cambiato e non si legge più (%1).</source>
        <translation>un altro programma lo ha cambiato e non si legge più (%1).</translation>
    </message>
    <message>
        <source>file larger than %1 MiB</source>
        <translation>file più grande di %1 MiB</translation>
    </message>
</context>
<context>
    <name>SiteListFileTexts</name>
    <message>
        <source>Il file non è nel formato corretto.</source>
        <translation>Il file non è nel formato corretto.</translation>
    </message>
    <message>
        <source>Load error</source>
        <translation>Errore di caricamento</translation>
    </message>
    <message>
        <source>Caricamento elenco siti da aggiornare</source>
        <translation>Caricamento elenco siti da aggiornare</translation>
    </message>
    <message>
        <source>Salvataggio degli url da verificare</source>
        <translation>Salvataggio degli url da verificare</translation>
    </message>
    <message>
        <source>XML files (*.xml)|*.xml|Quovel files (*.qvl)|*.qvl</source>
        <translation>File XML (*.xml)|*.xml|File di Quovel (*.qvl)|*.qvl</translation>
    </message>
    <message>
        <source>Vuoi sovrascrivere il file esistente?</source>
        <translation>Vuoi sovrascrivere il file esistente?</translation>
    </message>
    <message>
        <source>Conferma sovrascrittura</source>
        <translation>Conferma sovrascrittura</translation>
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
        <translation>Pausa minima tra due richieste all&apos;host</translation>
    </message>
    <message>
        <source>Intestazioni della richiesta</source>
        <translation>Intestazioni della richiesta</translation>
    </message>
    <message>
        <source>Intestazioni segrete</source>
        <translation>Intestazioni segrete</translation>
    </message>
    <message>
        <source>Richiesta</source>
        <translation>Richiesta</translation>
    </message>
    <message>
        <source>quello delle impostazioni: %1</source>
        <translation>quello delle impostazioni: %1</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>quella delle impostazioni (%1 ms)</source>
        <translation>quella delle impostazioni (%1 ms)</translation>
    </message>
    <message>
        <source>&amp;User agent:</source>
        <translation>&amp;User agent:</translation>
    </message>
    <message>
        <source>&amp;Pausa minima tra due richieste all&apos;host:</source>
        <translation>&amp;Pausa minima tra due richieste all&apos;host:</translation>
    </message>
    <message>
        <source>&amp;Intestazioni della richiesta (una per riga, «Nome: valore»):</source>
        <translation>&amp;Intestazioni della richiesta (una per riga, «Nome: valore»):</translation>
    </message>
    <message>
        <source>Intestazioni se&amp;grete (Cookie, Authorization): restano nelle impostazioni di questo utente, leggibili solo da lui; l&apos;elenco ricorda solo che il sito ne ha.</source>
        <translation>Intestazioni se&amp;grete (Cookie, Authorization): restano nelle impostazioni di questo utente, leggibili solo da lui; l&apos;elenco ricorda solo che il sito ne ha.</translation>
    </message>
    <message>
        <source>Cookie e Authorization vanno tra le intestazioni segrete.</source>
        <translation>Cookie e Authorization vanno tra le intestazioni segrete.</translation>
    </message>
    <message>
        <source>Qui vanno solo Cookie e Authorization.</source>
        <translation>Qui vanno solo Cookie e Authorization.</translation>
    </message>
    <message>
        <source>Il sito ha intestazioni segrete, ma non tra quelle di questo utente: finché non le scrivi qui, il sito non viene controllato.</source>
        <translation>Il sito ha intestazioni segrete, ma non tra quelle di questo utente: finché non le scrivi qui, il sito non viene controllato.</translation>
    </message>
</context>
<context>
    <name>SiteSecrets</name>
    <message>
        <source>Le intestazioni segrete del sito non hanno seguito il suo nuovo indirizzo: %1</source>
        <translation>Le intestazioni segrete del sito non hanno seguito il suo nuovo indirizzo: %1</translation>
    </message>
</context>
<context>
    <name>SiteTextCommands</name>
    <message>
        <source>Error: Missing URL.</source>
        <translation>Errore: manca l&apos;indirizzo.</translation>
    </message>
    <message>
        <source>Seleziona prima l&apos;indirizzo che intendi modificare!</source>
        <translation>Seleziona prima l&apos;indirizzo che intendi modificare!</translation>
    </message>
    <message>
        <source>Opzioni sito</source>
        <translation>Opzioni sito</translation>
    </message>
    <message>
        <source>Le intestazioni segrete non sono state salvate: %1</source>
        <translation>Le intestazioni segrete non sono state salvate: %1</translation>
    </message>
</context>
<context>
    <name>TextRules</name>
    <message>
        <source>Regola vuota</source>
        <translation>Regola vuota</translation>
    </message>
    <message>
        <source>Regola troppo lunga: al massimo %1 caratteri</source>
        <translation>Regola troppo lunga: al massimo %1 caratteri</translation>
    </message>
    <message>
        <source>Espressione non valida: %1 (posizione %2)</source>
        <translation>Espressione non valida: %1 (posizione %2)</translation>
    </message>
</context>
<context>
    <name>TrayPresence</name>
    <message>
        <source>Avvia controllo</source>
        <translation>Avvia controllo</translation>
    </message>
    <message>
        <source>Arresta controllo</source>
        <translation>Arresta controllo</translation>
    </message>
    <message>
        <source>Mostra Quovel</source>
        <translation>Mostra Quovel</translation>
    </message>
</context>
<context>
    <name>UrlwatchImport</name>
    <message>
        <source>filtro &quot;%1&quot; non importato: %2</source>
        <translation>filtro &quot;%1&quot; non importato: %2</translation>
    </message>
    <message>
        <source>espressione non valida</source>
        <translation>espressione non valida</translation>
    </message>
    <message>
        <source>espressione troppo lunga</source>
        <translation>espressione troppo lunga</translation>
    </message>
    <message>
        <source>oltre %1 regole</source>
        <translation>oltre %1 regole</translation>
    </message>
    <message>
        <source>non toglie righe intere</source>
        <translation>non toglie righe intere</translation>
    </message>
    <message>
        <source>tiene solo le righe che corrispondono</source>
        <translation>tiene solo le righe che corrispondono</translation>
    </message>
    <message>
        <source>nessun filtro corrispondente</source>
        <translation>nessun filtro corrispondente</translation>
    </message>
    <message>
        <source>un documento che non è un job</source>
        <translation>un documento che non è un job</translation>
    </message>
    <message>
        <source>senza indirizzo</source>
        <translation>senza indirizzo</translation>
    </message>
    <message>
        <source>un comando, non una pagina</source>
        <translation>un comando, non una pagina</translation>
    </message>
    <message>
        <source>Il file contiene più di %1 siti.</source>
        <translation>Il file contiene più di %1 siti.</translation>
    </message>
    <message>
        <source>Il file ha troppi elementi, o alias che li moltiplicano: non viene letto.</source>
        <translation>Il file ha troppi elementi, o alias che li moltiplicano: non viene letto.</translation>
    </message>
    <message>
        <source>Il file non è un elenco YAML valido: riga %1, colonna %2: %3</source>
        <translation>Il file non è un elenco YAML valido: riga %1, colonna %2: %3</translation>
    </message>
    <message>
        <source>Il file non può essere letto: %1</source>
        <translation>Il file non può essere letto: %1</translation>
    </message>
    <message>
        <source>un sito ha un solo selettore</source>
        <translation>un sito ha un solo selettore</translation>
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
        <translation>Tipo non corrispondente</translation>
    </message>
    <message>
        <source>Path/File access error</source>
        <translation>Errore di accesso al percorso o al file</translation>
    </message>
    <message>
        <source>Invalid property value</source>
        <translation>Valore di proprietà non valido</translation>
    </message>
</context>
<context>
    <name>frmDialog</name>
    <message>
        <source>Digita l&apos;indirizzo da aggiungere</source>
        <translation>Digita l&apos;indirizzo da aggiungere</translation>
    </message>
    <message>
        <source>Digita un nick per l&apos;indirizzo (es. Meteo per https://www.meteo.example.org/)</source>
        <translation>Digita un nick per l&apos;indirizzo (es. Meteo per https://www.meteo.example.org/)</translation>
    </message>
    <message>
        <source>Digita una breve descrizione del link da aggiungere</source>
        <translation>Digita una breve descrizione del link da aggiungere</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Add URL</source>
        <translation>Aggiungi indirizzo</translation>
    </message>
</context>
<context>
    <name>frmDiff</name>
    <message>
        <source>Nessuna riga aggiunta</source>
        <translation>Nessuna riga aggiunta</translation>
    </message>
    <message>
        <source>Nessuna riga cambiata</source>
        <translation>Nessuna riga cambiata</translation>
    </message>
    <message>
        <source>1 riga aggiunta</source>
        <translation>1 riga aggiunta</translation>
    </message>
    <message>
        <source>1 riga cambiata</source>
        <translation>1 riga cambiata</translation>
    </message>
    <message>
        <source>%1 righe aggiunte</source>
        <translation>%1 righe aggiunte</translation>
    </message>
    <message>
        <source>%1 righe cambiate</source>
        <translation>%1 righe cambiate</translation>
    </message>
    <message>
        <source> (1 ignorata)</source>
        <translation> (1 ignorata)</translation>
    </message>
    <message>
        <source> (%1 ignorate)</source>
        <translation> (%1 ignorate)</translation>
    </message>
    <message>
        <source>Versione precedente</source>
        <translation>Versione precedente</translation>
    </message>
    <message>
        <source>Versione successiva</source>
        <translation>Versione successiva</translation>
    </message>
    <message>
        <source>Solo righe &amp;aggiunte</source>
        <translation>Solo righe &amp;aggiunte</translation>
    </message>
    <message>
        <source>Solo righe aggiunte</source>
        <translation>Solo righe aggiunte</translation>
    </message>
    <message>
        <source>Modifica &amp;precedente</source>
        <translation>Modifica &amp;precedente</translation>
    </message>
    <message>
        <source>Modifica precedente</source>
        <translation>Modifica precedente</translation>
    </message>
    <message>
        <source>Modifica &amp;successiva</source>
        <translation>Modifica &amp;successiva</translation>
    </message>
    <message>
        <source>Modifica successiva</source>
        <translation>Modifica successiva</translation>
    </message>
    <message>
        <source>Righe cambiate</source>
        <translation>Righe cambiate</translation>
    </message>
    <message>
        <source>Differenze</source>
        <translation>Differenze</translation>
    </message>
    <message>
        <source>Differenze - %1</source>
        <translation>Differenze - %1</translation>
    </message>
    <message>
        <source>Pri&amp;ma:</source>
        <translation>Pri&amp;ma:</translation>
    </message>
    <message>
        <source>Prima</source>
        <translation>Prima</translation>
    </message>
    <message>
        <source>D&amp;opo:</source>
        <translation>D&amp;opo:</translation>
    </message>
    <message>
        <source>Dopo</source>
        <translation>Dopo</translation>
    </message>
    <message>
        <source> (troncata)</source>
        <translation> (troncata)</translation>
    </message>
    <message>
        <source>Nessuna cronologia per questa pagina.</source>
        <translation>Nessuna cronologia per questa pagina.</translation>
    </message>
    <message>
        <source>Nessuna versione precedente da confrontare.</source>
        <translation>Nessuna versione precedente da confrontare.</translation>
    </message>
</context>
<context>
    <name>frmImport</name>
    <message>
        <source>Importa siti</source>
        <translation>Importa siti</translation>
    </message>
    <message>
        <source>Cartella:</source>
        <translation>Cartella:</translation>
    </message>
    <message>
        <source>Tutte le cartelle</source>
        <translation>Tutte le cartelle</translation>
    </message>
    <message>
        <source>Siti da aggiungere:</source>
        <translation>Siti da aggiungere:</translation>
    </message>
    <message>
        <source>Seleziona tutti</source>
        <translation>Seleziona tutti</translation>
    </message>
    <message>
        <source>Deseleziona tutti</source>
        <translation>Deseleziona tutti</translation>
    </message>
    <message>
        <source>Non importati:</source>
        <translation>Non importati:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Riepilogo</source>
        <translation>Riepilogo</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot;: %3 di %4 siti da aggiungere; %5 voci non importate.</source>
        <translation>%1 &quot;%2&quot;: %3 di %4 siti da aggiungere; %5 voci non importate.</translation>
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
        <translation>Intervallo del timer</translation>
    </message>
    <message>
        <source>Controlla ogni...</source>
        <translation>Controlla ogni...</translation>
    </message>
    <message>
        <source>ore</source>
        <translation>ore</translation>
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
        <translation>Imposta timeout ( &gt; 10s)</translation>
    </message>
    <message>
        <source>Totale</source>
        <translation>Totale</translation>
    </message>
    <message>
        <source>Attenzione!</source>
        <translation>Attenzione!</translation>
    </message>
    <message>
        <source>Il timeout non può essere minore di 15 secondi!</source>
        <translation>Il timeout non può essere minore di 15 secondi!</translation>
    </message>
    <message>
        <source>Un valore plausibile prevede almeno otto secondi di tempo per ogni URL.<byte value="xd"/>
Essendo presenti %1 diversi url, l&apos;intervallo di scansione degli stessi verrà<byte value="xd"/>
automaticamente impostato a %2 secondi.<byte value="xd"/>
Accetti le modifiche?</source>
        <translation>Un valore plausibile prevede almeno otto secondi di tempo per ogni URL.<byte value="xd"/>
Essendo presenti %1 diversi url, l&apos;intervallo di scansione degli stessi verrà<byte value="xd"/>
automaticamente impostato a %2 secondi.<byte value="xd"/>
Accetti le modifiche?</translation>
    </message>
    <message>
        <source>Intervallo troppo breve!</source>
        <translation>Intervallo troppo breve!</translation>
    </message>
    <message>
        <source>L&apos;intervallo non può superare %1 secondi (596 ore, 31 minuti e 23 secondi).</source>
        <translation>L&apos;intervallo non può superare %1 secondi (596 ore, 31 minuti e 23 secondi).</translation>
    </message>
</context>
<context>
    <name>frmQVL</name>
    <message>
        <source>imgClock</source>
        <translation>Orologio del timer</translation>
    </message>
    <message>
        <source>Imposta Timer</source>
        <translation>Imposta Timer</translation>
    </message>
    <message>
        <source>Avvia controllo</source>
        <translation>Avvia controllo</translation>
    </message>
    <message>
        <source>Arresta controllo</source>
        <translation>Arresta controllo</translation>
    </message>
    <message>
        <source>Error %1</source>
        <translation>Errore %1</translation>
    </message>
    <message>
        <source>Errore!</source>
        <translation>Errore!</translation>
    </message>
    <message>
        <source>Errore %1: %2</source>
        <translation>Errore %1: %2</translation>
    </message>
    <message>
        <source>Richiesta salvataggio</source>
        <translation>Richiesta salvataggio</translation>
    </message>
    <message>
        <source>Uscire senza salvare le modifiche apportate?</source>
        <translation>Uscire senza salvare le modifiche apportate?</translation>
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
        <translation>&amp;Notifica quando un controllo periodico trova pagine cambiate</translation>
    </message>
    <message>
        <source>&amp;Riapri l&apos;ultimo elenco all&apos;avvio</source>
        <translation>&amp;Riapri l&apos;ultimo elenco all&apos;avvio</translation>
    </message>
    <message>
        <source>Riattiva il &amp;timer all&apos;avvio se era attivo alla chiusura</source>
        <translation>Riattiva il &amp;timer all&apos;avvio se era attivo alla chiusura</translation>
    </message>
    <message>
        <source>&amp;Salva l&apos;elenco dopo ogni controllo periodico</source>
        <translation>&amp;Salva l&apos;elenco dopo ogni controllo periodico</translation>
    </message>
    <message>
        <source>Avvia all&apos;&amp;accesso, ridotto a icona</source>
        <translation>Avvia all&apos;&amp;accesso, ridotto a icona</translation>
    </message>
    <message>
        <source>Impostazioni</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <source>Controlli falliti di seguito prima di notificare</source>
        <translation>Controlli falliti di seguito prima di notificare</translation>
    </message>
    <message>
        <source>Chiedi</source>
        <translation>Chiedi</translation>
    </message>
    <message>
        <source>Esci</source>
        <translation>Esci</translation>
    </message>
    <message>
        <source>Riduci a icona nell&apos;area di notifica</source>
        <translation>Riduci a icona nell&apos;area di notifica</translation>
    </message>
    <message>
        <source>Chiudendo la finestra con il timer attivo</source>
        <translation>Chiudendo la finestra con il timer attivo</translation>
    </message>
    <message>
        <source>Controlli &amp;falliti di seguito prima di notificare un sito:</source>
        <translation>Controlli &amp;falliti di seguito prima di notificare un sito:</translation>
    </message>
    <message>
        <source>C&amp;hiudendo la finestra con il timer attivo:</source>
        <translation>C&amp;hiudendo la finestra con il timer attivo:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Richieste</source>
        <translation>Richieste</translation>
    </message>
    <message>
        <source>Nessuno</source>
        <translation>Nessuno</translation>
    </message>
    <message>
        <source>Del sistema (http_proxy, https_proxy, no_proxy)</source>
        <translation>Del sistema (http_proxy, https_proxy, no_proxy)</translation>
    </message>
    <message>
        <source>Manuale</source>
        <translation>Manuale</translation>
    </message>
    <message>
        <source>Proxy</source>
        <translation>Proxy</translation>
    </message>
    <message>
        <source>host:porta</source>
        <translation>host:porta</translation>
    </message>
    <message>
        <source>Indirizzo del proxy</source>
        <translation>Indirizzo del proxy</translation>
    </message>
    <message>
        <source>Problema</source>
        <translation>Problema</translation>
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
        <translation>Attesa tra due richieste allo stesso server</translation>
    </message>
    <message>
        <source>Richiesta completa ogni N controlli</source>
        <translation>Richiesta completa ogni N controlli</translation>
    </message>
    <message>
        <source>&amp;Proxy:</source>
        <translation>&amp;Proxy:</translation>
    </message>
    <message>
        <source>&amp;Indirizzo del proxy:</source>
        <translation>&amp;Indirizzo del proxy:</translation>
    </message>
    <message>
        <source>&amp;User agent:</source>
        <translation>&amp;User agent:</translation>
    </message>
    <message>
        <source>Attesa tra due richieste allo stesso ser&amp;ver:</source>
        <translation>Attesa tra due richieste allo stesso ser&amp;ver:</translation>
    </message>
    <message>
        <source>Richiesta c&amp;ompleta ogni N controlli:</source>
        <translation>Richiesta c&amp;ompleta ogni N controlli:</translation>
    </message>
    <message>
        <source>Scrivere il proxy come host:porta.</source>
        <translation>Scrivere il proxy come host:porta.</translation>
    </message>
</context>
<context>
    <name>frmShowModified</name>
    <message>
        <source>Pagine cambiate:</source>
        <translation>Pagine cambiate:</translation>
    </message>
    <message>
        <source>Errori di timeout</source>
        <translation>Errori di timeout</translation>
    </message>
    <message>
        <source>EXIT</source>
        <translation>ESCI</translation>
    </message>
    <message>
        <source>Check response</source>
        <translation>Esito del controllo</translation>
    </message>
    <message>
        <source>Apri</source>
        <translation>Apri</translation>
    </message>
    <message>
        <source>Mostra differenze</source>
        <translation>Mostra differenze</translation>
    </message>
</context>
<context>
    <name>frmSiteOptions</name>
    <message>
        <source>Confronta solo il &amp;testo della pagina</source>
        <translation>Confronta solo il &amp;testo della pagina</translation>
    </message>
    <message>
        <source>Confronta solo il testo della pagina</source>
        <translation>Confronta solo il testo della pagina</translation>
    </message>
    <message>
        <source>Ignora le &amp;cifre</source>
        <translation>Ignora le &amp;cifre</translation>
    </message>
    <message>
        <source>Ignora le cifre</source>
        <translation>Ignora le cifre</translation>
    </message>
    <message>
        <source>Righe da ignorare</source>
        <translation>Righe da ignorare</translation>
    </message>
    <message>
        <source>Inizio regione</source>
        <translation>Inizio regione</translation>
    </message>
    <message>
        <source>Fine regione</source>
        <translation>Fine regione</translation>
    </message>
    <message>
        <source>Anteprima</source>
        <translation>Anteprima</translation>
    </message>
    <message>
        <source>Opzioni sito</source>
        <translation>Opzioni sito</translation>
    </message>
    <message>
        <source>Righe da &amp;ignorare (un&apos;espressione regolare per riga):</source>
        <translation>Righe da &amp;ignorare (un&apos;espressione regolare per riga):</translation>
    </message>
    <message>
        <source>Inizio &amp;regione</source>
        <translation>Inizio &amp;regione</translation>
    </message>
    <message>
        <source>Fine re&amp;gione</source>
        <translation>Fine re&amp;gione</translation>
    </message>
    <message>
        <source>Pulsanti</source>
        <translation>Pulsanti</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Al massimo %1 regole per sito</source>
        <translation>Al massimo %1 regole per sito</translation>
    </message>
    <message>
        <source>Riga %1: %2</source>
        <translation>Riga %1: %2</translation>
    </message>
    <message>
        <source>…e altre %1 righe non valide.</source>
        <translation>…e altre %1 righe non valide.</translation>
    </message>
    <message>
        <source>Le righe non valide non vengono salvate.</source>
        <translation>Le righe non valide non vengono salvate.</translation>
    </message>
    <message>
        <source>&amp;Anteprima:</source>
        <translation>&amp;Anteprima:</translation>
    </message>
    <message>
        <source>Nessuna versione salvata: l&apos;anteprima comparirà dopo il prossimo controllo in cui la pagina cambia.</source>
        <translation>Nessuna versione salvata: l&apos;anteprima comparirà dopo il prossimo controllo in cui la pagina cambia.</translation>
    </message>
    <message>
        <source>&amp;Anteprima dell&apos;ultima versione salvata:</source>
        <translation>&amp;Anteprima dell&apos;ultima versione salvata:</translation>
    </message>
    <message>
        <source>&amp;Anteprima dell&apos;ultima versione salvata (le regole valgono solo confrontando il testo della pagina):</source>
        <translation>&amp;Anteprima dell&apos;ultima versione salvata (le regole valgono solo confrontando il testo della pagina):</translation>
    </message>
    <message>
        <source>La regola %1 è troppo costosa su questa pagina: conta come non corrispondente.</source>
        <translation>La regola %1 è troppo costosa su questa pagina: conta come non corrispondente.</translation>
    </message>
    <message>
        <source>Tipo di selettore</source>
        <translation>Tipo di selettore</translation>
    </message>
    <message>
        <source>Selettore</source>
        <translation>Selettore</translation>
    </message>
    <message>
        <source>Ante&amp;prima</source>
        <translation>Ante&amp;prima</translation>
    </message>
    <message>
        <source>Scarica la pagina per l&apos;anteprima</source>
        <translation>Scarica la pagina per l&apos;anteprima</translation>
    </message>
    <message>
        <source>Pagine delle opzioni</source>
        <translation>Pagine delle opzioni</translation>
    </message>
    <message>
        <source>Test&amp;o</source>
        <translation>Test&amp;o</translation>
    </message>
    <message>
        <source>Richi&amp;esta</source>
        <translation>Richi&amp;esta</translation>
    </message>
    <message>
        <source>Testo</source>
        <translation>Testo</translation>
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
        <translation>nessuno: tutta la pagina</translation>
    </message>
    <message>
        <source>Scarica la pagina una volta, come la chiederebbe un controllo, per provarci il selettore e le regole</source>
        <translation>Scarica la pagina una volta, come la chiederebbe un controllo, per provarci il selettore e le regole</translation>
    </message>
    <message>
        <source>&amp;Selettore:</source>
        <translation>&amp;Selettore:</translation>
    </message>
    <message>
        <source>Selettore non supportato: %1</source>
        <translation>Selettore non supportato: %1</translation>
    </message>
    <message>
        <source>Errore %1: %2</source>
        <translation>Errore %1: %2</translation>
    </message>
    <message>
        <source>Pagina più grande di %1 KiB: confrontata per intero, non per testo.</source>
        <translation>Pagina più grande di %1 KiB: confrontata per intero, non per testo.</translation>
    </message>
    <message>
        <source>Pagina senza testo: confrontata per intero, non per testo.</source>
        <translation>Pagina senza testo: confrontata per intero, non per testo.</translation>
    </message>
    <message>
        <source>Scaricamento della pagina…</source>
        <translation>Scaricamento della pagina…</translation>
    </message>
    <message>
        <source>Il selettore si prova sulla pagina scaricata: premi Anteprima.</source>
        <translation>Il selettore si prova sulla pagina scaricata: premi Anteprima.</translation>
    </message>
    <message>
        <source>&amp;Anteprima della pagina scaricata:</source>
        <translation>&amp;Anteprima della pagina scaricata:</translation>
    </message>
    <message numerus="yes">
        <source>%n elementi corrispondono al selettore</source>
        <translation>
            <numerusform>%n elemento corrisponde al selettore</numerusform>
            <numerusform>%n elementi corrispondono al selettore</numerusform>
        </translation>
    </message>
    <message>
        <source>Nessun elemento corrisponde al selettore</source>
        <translation>Nessun elemento corrisponde al selettore</translation>
    </message>
    <message>
        <source>Pagina troppo grande o troppo annidata per leggerne il testo: confrontata per intero, non per testo.</source>
        <translation>Pagina troppo grande o troppo annidata per leggerne il testo: confrontata per intero, non per testo.</translation>
    </message>
    <message>
        <source>&amp;Anteprima della pagina scaricata (selettore e regole valgono solo confrontando il testo della pagina):</source>
        <translation>&amp;Anteprima della pagina scaricata (selettore e regole valgono solo confrontando il testo della pagina):</translation>
    </message>
    <message>
        <source>Lettura della pagina…</source>
        <translation>Lettura della pagina…</translation>
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
        <translation>Scritto, per ora, da:</translation>
    </message>
    <message>
        <source>gli sviluppatori di Quovel</source>
        <translation>gli sviluppatori di Quovel</translation>
    </message>
    <message>
        <source>Mail me</source>
        <translation>Scrivimi</translation>
    </message>
    <message>
        <source>&quot;Ho provato Quovel e trovo che sia...&quot;</source>
        <translation>&quot;Ho provato Quovel e trovo che sia...&quot;</translation>
    </message>
    <message>
        <source>Open Source</source>
        <translation>Open Source</translation>
    </message>
    <message>
        <source>Quovel è software libero: GNU General Public License, versione 3 o successiva. È costruito con Qt (finestre), libcurl (pagine web), pugixml (file della lista), libxml2 (testo delle pagine), PCRE2 (espressioni regolari), dtl (differenze), zlib (impronte CRC-32) e zstd (cronologia): grazie ai loro autori.</source>
        <translation>Quovel è software libero: GNU General Public License, versione 3 o successiva. È costruito con Qt (finestre), libcurl (pagine web), pugixml (file della lista), libxml2 (testo delle pagine), PCRE2 (espressioni regolari), dtl (differenze), zlib (impronte CRC-32) e zstd (cronologia): grazie ai loro autori.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Quovel: quali pagine web sono cambiate dall&apos;ultima visita.</source>
        <translation>Quovel: quali pagine web sono cambiate dall&apos;ultima visita.</translation>
    </message>
    <message>
        <source>Lingua di questa esecuzione: it (italiano), en (inglese) o source (i testi originali).</source>
        <translation>Lingua di questa esecuzione: it (italiano), en (inglese) o source (i testi originali).</translation>
    </message>
    <message>
        <source>elenco dei siti da aprire (.qvl o .xml)</source>
        <translation>elenco dei siti da aprire (.qvl o .xml)</translation>
    </message>
    <message>
        <source>Avvia una nuova finestra anche se Quovel è già aperto in questa sessione.</source>
        <translation>Avvia una nuova finestra anche se Quovel è già aperto in questa sessione.</translation>
    </message>
    <message>
        <source>Avvia ridotto a icona (nell&apos;area di notifica, dove c&apos;è).</source>
        <translation>Avvia ridotto a icona (nell&apos;area di notifica, dove c&apos;è).</translation>
    </message>
</context>
</TS>
