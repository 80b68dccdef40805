<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="sr_RS@latin" sourcelanguage="en">
<!-- Qt's own texts that thermal shows (file prompts, message box buttons, the edit and scroll bar menus),
     in Serbian in plain Latin letters as the rest of the program. Debian has no Serbian translation
     of Qt; lrelease compiles this file into the framework library's resources. -->
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>U redu</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Otkazi</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Otvori</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Snimi</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zatvori</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Da</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Ne</translation>
    </message>
</context>
<context>
    <name>QFileDialog</name>
    <message>
        <source>Open</source>
        <translation>Otvori</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Snimi kao</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Otvori</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Snimi</translation>
    </message>
    <message>
        <source>&amp;Choose</source>
        <translation>&amp;Izaberi</translation>
    </message>
    <message>
        <source>Look in:</source>
        <translation>Trazi u:</translation>
    </message>
    <message>
        <source>File &amp;name:</source>
        <translation>&amp;Ime fajla:</translation>
    </message>
    <message>
        <source>Files of type:</source>
        <translation>Vrsta fajlova:</translation>
    </message>
    <message>
        <source>Directory:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Svi fajlovi (*)</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Fajlovi</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Nazad</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Napred</translation>
    </message>
    <message>
        <source>Parent Directory</source>
        <translation>Nadredjeni folder</translation>
    </message>
    <message>
        <source>Go back</source>
        <translation>Idi nazad</translation>
    </message>
    <message>
        <source>Go forward</source>
        <translation>Idi napred</translation>
    </message>
    <message>
        <source>Go to the parent directory</source>
        <translation>Idi u nadredjeni folder</translation>
    </message>
    <message>
        <source>Create New Folder</source>
        <translation>Napravi novi folder</translation>
    </message>
    <message>
        <source>Create a New Folder</source>
        <translation>Napravi novi folder</translation>
    </message>
    <message>
        <source>List View</source>
        <translation>Lista</translation>
    </message>
    <message>
        <source>Detail View</source>
        <translation>Detalji</translation>
    </message>
    <message>
        <source>Change to list view mode</source>
        <translation>Prikazi kao listu</translation>
    </message>
    <message>
        <source>Change to detail view mode</source>
        <translation>Prikazi sa detaljima</translation>
    </message>
    <message>
        <source>Sidebar</source>
        <translation>Bocna traka</translation>
    </message>
    <message>
        <source>List of places and bookmarks</source>
        <translation>Mesta i obelezivaci</translation>
    </message>
    <message>
        <source>Recent Places</source>
        <translation>Skoro korisceno</translation>
    </message>
    <message>
        <source>Show </source>
        <translation>Prikazi </translation>
    </message>
    <message>
        <source>Show &amp;hidden files</source>
        <translation>Prikazi &amp;skrivene fajlove</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation>&amp;Preimenuj</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Obrisi</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Obrisi</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Ukloni</translation>
    </message>
    <message>
        <source>&amp;New Folder</source>
        <translation>&amp;Novi folder</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Novi folder</translation>
    </message>
    <message>
        <source>Find Directory</source>
        <translation>Pronadji folder</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Nepoznato</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 vec postoji.
Da li zelite da ga zamenite?</translation>
    </message>
    <message>
        <source>%1
File not found.
Please verify the correct file name was given.</source>
        <translation>%1
Fajl nije pronadjen.
Proverite da li je ime fajla ispravno.</translation>
    </message>
    <message>
        <source>%1
Directory not found.
Please verify the correct directory name was given.</source>
        <translation>%1
Folder nije pronadjen.
Proverite da li je ime foldera ispravno.</translation>
    </message>
    <message>
        <source>Are you sure you want to delete '%1'?</source>
        <translation>Da li ste sigurni da zelite da obrisete '%1'?</translation>
    </message>
    <message>
        <source>'%1' is write protected.
Do you want to delete it anyway?</source>
        <translation>'%1' je zasticen od izmena.
Da li ipak zelite da ga obrisete?</translation>
    </message>
    <message>
        <source>Could not delete directory.</source>
        <translation>Folder ne moze da se obrise.</translation>
    </message>
</context>
<context>
    <name>QFileSystemModel</name>
    <message>
        <source>Name</source>
        <translation>Naziv</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Velicina</translation>
    </message>
    <message>
        <source>Type</source>
        <comment>All other platforms</comment>
        <translation>Vrsta</translation>
    </message>
    <message>
        <source>Date Modified</source>
        <translation>Izmenjen</translation>
    </message>
    <message>
        <source>Computer</source>
        <translation>Racunar</translation>
    </message>
    <message>
        <source>My Computer</source>
        <translation>Moj racunar</translation>
    </message>
    <message>
        <source>Invalid filename</source>
        <translation>Neispravno ime fajla</translation>
    </message>
    <message>
        <source>&lt;b&gt;The name &quot;%1&quot; cannot be used.&lt;/b&gt;&lt;p&gt;Try using another name, with fewer characters or no punctuation marks.</source>
        <translation>&lt;b&gt;Ime &quot;%1&quot; ne moze da se koristi.&lt;/b&gt;&lt;p&gt;Pokusajte sa drugim imenom, sa manje znakova ili bez znakova interpunkcije.</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Drive</source>
        <translation>Disk</translation>
    </message>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Folder</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fajl</translation>
    </message>
    <message>
        <source>%1 File</source>
        <translation>%1 fajl</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <comment>All other platforms</comment>
        <translation>Precica</translation>
    </message>
</context>
<context>
    <name>QLineEdit</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Ponisti</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Vrati</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Ise&amp;ci</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopiraj</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Nalepi</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Obrisi</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Izaberi sve</translation>
    </message>
</context>
<context>
    <name>QWidgetTextControl</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Ponisti</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Vrati</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Ise&amp;ci</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopiraj</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Nalepi</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Obrisi</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Izaberi sve</translation>
    </message>
    <message>
        <source>Copy &amp;Link Location</source>
        <translation>Kopiraj adresu &amp;veze</translation>
    </message>
</context>
<context>
    <name>QAbstractSpinBox</name>
    <message>
        <source>&amp;Select All</source>
        <translation>&amp;Izaberi sve</translation>
    </message>
    <message>
        <source>&amp;Step up</source>
        <translation>&amp;Povecaj</translation>
    </message>
    <message>
        <source>Step &amp;down</source>
        <translation>&amp;Smanji</translation>
    </message>
</context>
<context>
    <name>QScrollBar</name>
    <message>
        <source>Scroll here</source>
        <translation>Pomeri ovde</translation>
    </message>
    <message>
        <source>Left edge</source>
        <translation>Leva ivica</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>Vrh</translation>
    </message>
    <message>
        <source>Right edge</source>
        <translation>Desna ivica</translation>
    </message>
    <message>
        <source>Bottom</source>
        <translation>Dno</translation>
    </message>
    <message>
        <source>Page left</source>
        <translation>Strana levo</translation>
    </message>
    <message>
        <source>Page up</source>
        <translation>Strana gore</translation>
    </message>
    <message>
        <source>Page right</source>
        <translation>Strana desno</translation>
    </message>
    <message>
        <source>Page down</source>
        <translation>Strana dole</translation>
    </message>
    <message>
        <source>Scroll left</source>
        <translation>Pomeri levo</translation>
    </message>
    <message>
        <source>Scroll up</source>
        <translation>Pomeri gore</translation>
    </message>
    <message>
        <source>Scroll right</source>
        <translation>Pomeri desno</translation>
    </message>
    <message>
        <source>Scroll down</source>
        <translation>Pomeri dole</translation>
    </message>
</context>
</TS>
