<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BatchRemoval</name>
    <message>
        <source>container %1: %2</source>
        <translation>Container %1: %2</translation>
    </message>
    <message>
        <source>volume %1: %2</source>
        <translation>Volume %1: %2</translation>
    </message>
    <message>
        <source>not a valid name</source>
        <translation>kein gültiger Name</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>timed out</source>
        <translation>Zeitüberschreitung</translation>
    </message>
</context>
<context>
    <name>Confirmation</name>
    <message>
        <source>  %1 (%2)</source>
        <translation>  %1 (%2)</translation>
    </message>
    <message>
        <source>  %1 — %2</source>
        <translation>  %1 — %2</translation>
    </message>
    <message>
        <source>Remove %1 of %2?</source>
        <translation>%1 von %2 entfernen?</translation>
    </message>
    <message>
        <source>Remove %1 exclusive to %2?</source>
        <translation>%1 entfernen, die nur %2 gehören?</translation>
    </message>
    <message>
        <source>These containers reference the images and will be removed first:</source>
        <translation>Diese Container verweisen auf die Images und werden zuerst entfernt:</translation>
    </message>
    <message>
        <source>These containers use the volumes and will be removed first:</source>
        <translation>Diese Container nutzen die Volumes und werden zuerst entfernt:</translation>
    </message>
    <message>
        <source>Frees %1 on disk (layers shared with images that stay are not counted).</source>
        <translation>Gibt %1 auf dem Datenträger frei (Layer, die mit verbleibenden Images geteilt werden, sind nicht mitgezählt).</translation>
    </message>
    <message>
        <source>Also removed: %1 they were built from.</source>
        <translation>Ebenfalls entfernt: %1, aus denen sie gebaut wurden.</translation>
    </message>
    <message numerus="yes">
        <source>%n untagged build layer(s)</source>
        <translation>
            <numerusform>%n unbenannter Build-Layer</numerusform>
            <numerusform>%n unbenannte Build-Layer</numerusform>
        </translation>
    </message>
    <message>
        <source>BLOCKED (in use):</source>
        <translation>GESPERRT (in Verwendung):</translation>
    </message>
    <message>
        <source>Continue?</source>
        <translation>Fortfahren?</translation>
    </message>
    <message>
        <source>⚠ Volume data will be permanently deleted. Continue?</source>
        <translation>⚠ Die Daten der Volumes werden endgültig gelöscht. Fortfahren?</translation>
    </message>
    <message>
        <source>⚠ Usage could not be fully verified, so no image or volume is removed with these containers:</source>
        <translation>⚠ Die Verwendung konnte nicht vollständig geprüft werden, daher wird mit diesen Containern kein Image und kein Volume entfernt:</translation>
    </message>
    <message>
        <source>Clear build cache</source>
        <translation>Build-Cache leeren</translation>
    </message>
    <message>
        <source>Clear all Docker build cache?</source>
        <translation>Den gesamten Build-Cache von Docker leeren?</translation>
    </message>
    <message>
        <source>Clear Build Cache</source>
        <translation>Build-Cache leeren</translation>
    </message>
    <message>
        <source>Remove unused images</source>
        <translation>Unbenutzte Images entfernen</translation>
    </message>
    <message>
        <source>Remove %1?</source>
        <translation>%1 entfernen?</translation>
    </message>
    <message numerus="yes">
        <source>%n unused image(s)</source>
        <translation>
            <numerusform>%n unbenutztes Image</numerusform>
            <numerusform>%n unbenutzte Images</numerusform>
        </translation>
    </message>
    <message>
        <source>No safe images selected.</source>
        <translation>Keine sicher entfernbaren Images ausgewählt.</translation>
    </message>
    <message>
        <source>No orphan volumes selected.</source>
        <translation>Keine verwaisten Volumes ausgewählt.</translation>
    </message>
    <message>
        <source>Will remove:</source>
        <translation>Wird entfernt:</translation>
    </message>
    <message>
        <source>Remove selected images</source>
        <translation>Ausgewählte Images entfernen</translation>
    </message>
    <message>
        <source>Remove selected volumes</source>
        <translation>Ausgewählte Volumes entfernen</translation>
    </message>
    <message>
        <source>⚠ Data will be permanently deleted!</source>
        <translation>⚠ Die Daten werden endgültig gelöscht!</translation>
    </message>
    <message>
        <source>These belong to no compose project and are mounted by no container.</source>
        <translation>Diese gehören zu keinem Compose-Projekt und werden von keinem Container eingebunden.</translation>
    </message>
    <message>
        <source>Mounted by no container, and Docker&apos;s own dangling filter agrees.</source>
        <translation>Von keinem Container eingebunden, und Dockers eigener Filter für verwaiste Volumes bestätigt das.</translation>
    </message>
    <message>
        <source>  • %1: %2, %3</source>
        <translation>  • %1: %2, %3</translation>
    </message>
    <message numerus="yes">
        <source>%n volume(s)</source>
        <translation>
            <numerusform>%n Volume</numerusform>
            <numerusform>%n Volumes</numerusform>
        </translation>
    </message>
    <message>
        <source>⚠ %1 of these carry a compose project label. No container mounts them any more, but this IS that project&apos;s data — a leftover from an older compose file, or a project whose containers were removed:</source>
        <translation>⚠ %1 davon tragen das Label eines Compose-Projekts. Kein Container bindet sie mehr ein, aber es SIND die Daten dieses Projekts – ein Überbleibsel einer älteren Compose-Datei oder eines Projekts, dessen Container entfernt wurden:</translation>
    </message>
    <message>
        <source>  • %1 (%2)</source>
        <translation>  • %1 (%2)</translation>
    </message>
    <message>
        <source>⚠ %1 of these have a name but no project label. Docker did not make up these names: someone chose them, and a named volume often holds data meant to outlive its containers (a database, uploads):</source>
        <translation>⚠ %1 davon haben einen Namen, aber kein Projekt-Label. Diese Namen hat nicht Docker vergeben, sondern jemand hat sie gewählt – und ein benanntes Volume enthält oft Daten, die ihre Container überdauern sollen (eine Datenbank, hochgeladene Dateien):</translation>
    </message>
    <message>
        <source>Remove anonymous orphan volumes</source>
        <translation>Anonyme verwaiste Volumes entfernen</translation>
    </message>
    <message>
        <source>Remove orphan volumes</source>
        <translation>Verwaiste Volumes entfernen</translation>
    </message>
    <message>
        <source>Remove %1 (%2)?</source>
        <translation>%1 (%2) entfernen?</translation>
    </message>
    <message numerus="yes">
        <source>%n container(s)</source>
        <translation>
            <numerusform>%n Container</numerusform>
            <numerusform>%n Container</numerusform>
        </translation>
    </message>
    <message>
        <source>Images and volumes are NOT touched.</source>
        <translation>Images und Volumes bleiben UNBERÜHRT.</translation>
    </message>
    <message>
        <source>Remove containers</source>
        <translation>Container entfernen</translation>
    </message>
    <message numerus="yes">
        <source>%n image(s)</source>
        <translation>
            <numerusform>%n Image</numerusform>
            <numerusform>%n Images</numerusform>
        </translation>
    </message>
    <message>
        <source>Remove project images</source>
        <translation>Images des Projekts entfernen</translation>
    </message>
    <message>
        <source>Remove project volumes</source>
        <translation>Volumes des Projekts entfernen</translation>
    </message>
    <message>
        <source>⚠ Volume data will be permanently deleted.</source>
        <translation>⚠ Die Daten der Volumes werden endgültig gelöscht.</translation>
    </message>
    <message>
        <source>  (none)</source>
        <translation>  (keine)</translation>
    </message>
    <message>
        <source>Project: %1</source>
        <translation>Projekt: %1</translation>
    </message>
    <message>
        <source>Containers to remove (%1):</source>
        <translation>Zu entfernende Container (%1):</translation>
    </message>
    <message>
        <source>  • %1  (%2)</source>
        <translation>  • %1  (%2)</translation>
    </message>
    <message>
        <source>Built images to remove (%1):</source>
        <translation>Zu entfernende gebaute Images (%1):</translation>
    </message>
    <message>
        <source>Volumes to remove (%1):</source>
        <translation>Zu entfernende Volumes (%1):</translation>
    </message>
    <message>
        <source>KEPT (base / shared — not removed):</source>
        <translation>BEHALTEN (Basis / geteilt – nicht entfernt):</translation>
    </message>
    <message>
        <source>Delete entire project</source>
        <translation>Gesamtes Projekt löschen</translation>
    </message>
    <message>
        <source>Delete Project</source>
        <translation>Projekt löschen</translation>
    </message>
    <message>
        <source>Delete %1:</source>
        <translation>%1 löschen:</translation>
    </message>
    <message numerus="yes">
        <source>%n project(s)</source>
        <translation>
            <numerusform>%n Projekt</numerusform>
            <numerusform>%n Projekte</numerusform>
        </translation>
    </message>
    <message>
        <source>Totals to remove:</source>
        <translation>Insgesamt zu entfernen:</translation>
    </message>
    <message numerus="yes">
        <source>%n built image(s)</source>
        <translation>
            <numerusform>%n gebautes Image</numerusform>
            <numerusform>%n gebaute Images</numerusform>
        </translation>
    </message>
    <message>
        <source>Images/volumes shared with a project or container NOT in this selection are kept.</source>
        <translation>Images und Volumes, die mit einem Projekt oder Container außerhalb dieser Auswahl geteilt werden, bleiben erhalten.</translation>
    </message>
    <message>
        <source>Delete selected projects</source>
        <translation>Ausgewählte Projekte löschen</translation>
    </message>
    <message>
        <source>Delete %1</source>
        <translation>%1 löschen</translation>
    </message>
    <message numerus="yes">
        <source>%n Project(s)</source>
        <translation>
            <numerusform>%n Projekt</numerusform>
            <numerusform>%n Projekte</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n named orphan volume(s)</source>
        <translation>
            <numerusform>%n benanntes verwaistes Volume</numerusform>
            <numerusform>%n benannte verwaiste Volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n project orphan volume(s)</source>
        <translation>
            <numerusform>%n verwaistes Projekt-Volume</numerusform>
            <numerusform>%n verwaiste Projekt-Volumes</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 named and %2 project orphan volumes</source>
        <translation>verwaiste Volumes (%1 benannt, %2 aus Projekten)</translation>
    </message>
    <message>
        <source>Left alone: %1, which may hold data. Check them in the Volumes tab, whose &quot;Remove All Orphans&quot; button removes them after naming each one.</source>
        <translation>Unberührt bleiben (sie können Daten enthalten): %1. Prüfen Sie sie im Reiter „Volumes“, dessen Schaltfläche „Alle verwaisten Volumes entfernen“ sie entfernt, nachdem sie jedes einzeln genannt hat.</translation>
    </message>
    <message numerus="yes">
        <source>%n orphan volume(s)</source>
        <translation>
            <numerusform>%n verwaistes Volume</numerusform>
            <numerusform>%n verwaiste Volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n anonymous orphan volume(s)</source>
        <translation>
            <numerusform>%n anonymes verwaistes Volume</numerusform>
            <numerusform>%n anonyme verwaiste Volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Remove %n Container(s)</source>
        <translation>
            <numerusform>%n Container entfernen</numerusform>
            <numerusform>%n Container entfernen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Remove %n Image(s)</source>
        <translation>
            <numerusform>%n Image entfernen</numerusform>
            <numerusform>%n Images entfernen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Remove %n Volume(s)</source>
        <translation>
            <numerusform>%n Volume entfernen</numerusform>
            <numerusform>%n Volumes entfernen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>  … and %n more anonymous volume(s)</source>
        <translation>
            <numerusform>  … und %n weiteres anonymes Volume</numerusform>
            <numerusform>  … und %n weitere anonyme Volumes</numerusform>
        </translation>
    </message>
    <message>
        <source>Build cache: %1</source>
        <translation>Build-Cache: %1</translation>
    </message>
    <message>
        <source> (frees %1)</source>
        <translation> (gibt %1 frei)</translation>
    </message>
    <message numerus="yes">
        <source>%n untagged build layer(s) of those images</source>
        <translation>
            <numerusform>%n unbenannter Build-Layer dieser Images</numerusform>
            <numerusform>%n unbenannte Build-Layer dieser Images</numerusform>
        </translation>
    </message>
    <message>
        <source>Unused images:</source>
        <translation>Unbenutzte Images:</translation>
    </message>
    <message>
        <source>Orphan volumes:</source>
        <translation>Verwaiste Volumes:</translation>
    </message>
    <message>
        <source>Anonymous orphan volumes:</source>
        <translation>Anonyme verwaiste Volumes:</translation>
    </message>
    <message>
        <source>Safe Clean All</source>
        <translation>Alles sicher aufräumen</translation>
    </message>
    <message>
        <source>This will safely remove:
%1

Containers and their resources will NOT be touched.

Continue?</source>
        <translation>Sicher entfernt wird:
%1

Container und ihre Ressourcen werden NICHT angetastet.

Fortfahren?</translation>
    </message>
    <message>
        <source>  Containers (%1):</source>
        <translation>  Container (%1):</translation>
    </message>
    <message>
        <source>  Built images (%1):</source>
        <translation>  Gebaute Images (%1):</translation>
    </message>
    <message>
        <source>  Volumes (%1):</source>
        <translation>  Volumes (%1):</translation>
    </message>
</context>
<context>
    <name>ContainerStatus</name>
    <message>
        <source>Less than a second</source>
        <translation>weniger als einer Sekunde</translation>
    </message>
    <message numerus="yes">
        <source>%n second(s)</source>
        <translation>
            <numerusform>%n Sekunde</numerusform>
            <numerusform>%n Sekunden</numerusform>
        </translation>
    </message>
    <message>
        <source>About a minute</source>
        <translation>etwa einer Minute</translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s)</source>
        <translation>
            <numerusform>%n Minute</numerusform>
            <numerusform>%n Minuten</numerusform>
        </translation>
    </message>
    <message>
        <source>About an hour</source>
        <translation>etwa einer Stunde</translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s)</source>
        <translation>
            <numerusform>%n Stunde</numerusform>
            <numerusform>%n Stunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s)</source>
        <translation>
            <numerusform>%n Tag</numerusform>
            <numerusform>%n Tagen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n week(s)</source>
        <translation>
            <numerusform>%n Woche</numerusform>
            <numerusform>%n Wochen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n month(s)</source>
        <translation>
            <numerusform>%n Monat</numerusform>
            <numerusform>%n Monaten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n year(s)</source>
        <translation>
            <numerusform>%n Jahr</numerusform>
            <numerusform>%n Jahren</numerusform>
        </translation>
    </message>
    <message>
        <source>Up %1</source>
        <translation>Läuft seit %1</translation>
    </message>
    <message>
        <source>Exited %1 %2 ago</source>
        <translation>Beendet %1 vor %2</translation>
    </message>
    <message>
        <source>Restarting %1 %2 ago</source>
        <translation>Neustart %1 vor %2</translation>
    </message>
</context>
<context>
    <name>DiskMap</name>
    <message>
        <source>Not in a project</source>
        <translation>Keinem Projekt zugeordnet</translation>
    </message>
    <message>
        <source>Standalone containers</source>
        <translation>Einzelne Container</translation>
    </message>
    <message>
        <source>In use</source>
        <translation>In Verwendung</translation>
    </message>
    <message>
        <source>Safe to remove</source>
        <translation>Sicher entfernbar</translation>
    </message>
    <message>
        <source>May hold data</source>
        <translation>Enthält möglicherweise Daten</translation>
    </message>
    <message>
        <source>Base image</source>
        <translation>Basis-Image</translation>
    </message>
    <message>
        <source>Not verified</source>
        <translation>Nicht geprüft</translation>
    </message>
    <message>
        <source>Layers shared between images</source>
        <translation>Von Images gemeinsam genutzte Schichten</translation>
    </message>
    <message>
        <source>Build cache</source>
        <translation>Build-Cache</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>Volumes</source>
        <translation>Volumes</translation>
    </message>
    <message>
        <source>Containers&apos; writable layers</source>
        <translation>Beschreibbare Schichten der Container</translation>
    </message>
    <message>
        <source>Shared image layers</source>
        <translation>Gemeinsam genutzte Image-Schichten</translation>
    </message>
    <message>
        <source>Docker</source>
        <translation>Docker</translation>
    </message>
    <message numerus="yes">
        <source>%n smaller items</source>
        <translation>
            <numerusform>%n kleineres Element</numerusform>
            <numerusform>%n kleinere Elemente</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DockerError</name>
    <message>
        <source>Cannot connect to the Docker daemon. Is Docker running?</source>
        <translation>Keine Verbindung zum Docker-Daemon. Läuft Docker?</translation>
    </message>
    <message>
        <source>docker command failed</source>
        <translation>docker-Befehl fehlgeschlagen</translation>
    </message>
    <message>
        <source>Could not find the `docker` program.</source>
        <translation>Das Programm „docker“ wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>docker command timed out.</source>
        <translation>Zeitüberschreitung beim docker-Befehl.</translation>
    </message>
    <message>
        <source>The operation was cancelled.</source>
        <translation>Der Vorgang wurde abgebrochen.</translation>
    </message>
</context>
<context>
    <name>FreedSpace</name>
    <message>
        <source>Freed %1 on disk (expected %2)</source>
        <translation>%1 auf dem Datenträger freigegeben (erwartet: %2)</translation>
    </message>
    <message>
        <source>Expected to free %1 (the engine&apos;s disk usage could not be read)</source>
        <translation>Voraussichtlich %1 freigegeben (die Datenträgerbelegung der Engine konnte nicht gelesen werden)</translation>
    </message>
</context>
<context>
    <name>ImageRemoval</name>
    <message>
        <source>not a valid image id</source>
        <translation>keine gültige Image-ID</translation>
    </message>
    <message>
        <source>docker kept the image (another image is built on it)</source>
        <translation>docker hat das Image behalten (ein anderes Image baut darauf auf)</translation>
    </message>
    <message>
        <source>docker rmi failed</source>
        <translation>„docker rmi“ ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>; its tags were put back</source>
        <translation>; seine Tags wurden wiederhergestellt</translation>
    </message>
    <message>
        <source>; putting back %1 failed</source>
        <translation>; %1 konnte nicht wiederhergestellt werden</translation>
    </message>
</context>
<context>
    <name>ImageRows</name>
    <message>
        <source>Used by container</source>
        <translation>Von Container verwendet</translation>
    </message>
    <message>
        <source>Safe to remove</source>
        <translation>Sicher entfernbar</translation>
    </message>
    <message>
        <source>Dangling (untagged)</source>
        <translation>Verwaist (ohne Tag)</translation>
    </message>
    <message>
        <source>Unused base image — kept by bulk removal</source>
        <translation>Unbenutztes Basis-Image – wird beim Sammelentfernen behalten</translation>
    </message>
    <message>
        <source>Build layer — goes with its image</source>
        <translation>Build-Schicht – wird mit ihrem Image entfernt</translation>
    </message>
    <message>
        <source>Usage not verified</source>
        <translation>Verwendung nicht geprüft</translation>
    </message>
</context>
<context>
    <name>LogListModel</name>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Info+</source>
        <translation>Info+</translation>
    </message>
    <message>
        <source>Warnings+</source>
        <translation>Warnungen+</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>Fehler</translation>
    </message>
</context>
<context>
    <name>PathNotice</name>
    <message>
        <source>Not permitted</source>
        <translation>Nicht erlaubt</translation>
    </message>
    <message>
        <source>Your user may not open this path on this host:
%1

(%2)</source>
        <translation>Ihr Benutzer darf diesen Pfad auf diesem Rechner nicht öffnen:
%1

(%2)</translation>
    </message>
    <message>
        <source>Cannot open</source>
        <translation>Kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>This path could not be read on this host:
%1

(%2)</source>
        <translation>Dieser Pfad konnte auf diesem Rechner nicht gelesen werden:
%1

(%2)</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>Nicht gefunden</translation>
    </message>
    <message>
        <source>Project path not found on this host:
%1</source>
        <translation>Projektpfad auf diesem Rechner nicht gefunden:
%1</translation>
    </message>
    <message>
        <source>Path does not exist on this host:
%1

(The Docker engine runs elsewhere, in a virtual machine such as Docker Desktop&apos;s or on another host, and keeps its volumes there.)</source>
        <translation>Der Pfad existiert auf diesem Rechner nicht:
%1

(Die Docker-Engine läuft anderswo – in einer virtuellen Maschine wie der von Docker Desktop oder auf einem anderen Rechner – und bewahrt ihre Volumes dort auf.)</translation>
    </message>
    <message>
        <source>Docker keeps volumes inside its data root, %1, which only root may open.</source>
        <translation>Docker bewahrt Volumes in seinem Datenverzeichnis %1 auf, das nur root öffnen darf.</translation>
    </message>
</context>
<context>
    <name>PlatformWords</name>
    <message>
        <source>Finder</source>
        <translation>Finder</translation>
    </message>
    <message>
        <source>Reveal Mountpoint in Finder</source>
        <translation>Einhängepunkt im Finder zeigen</translation>
    </message>
    <message>
        <source>Reveal File</source>
        <translation>Datei zeigen</translation>
    </message>
    <message>
        <source>Install Docker Desktop or colima, then retry.</source>
        <translation>Installieren Sie Docker Desktop oder colima und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>Restart Docker Desktop and try again.</source>
        <translation>Starten Sie Docker Desktop neu und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>File Manager</source>
        <translation>Dateimanager</translation>
    </message>
    <message>
        <source>Show Mountpoint in File Manager</source>
        <translation>Einhängepunkt im Dateimanager zeigen</translation>
    </message>
    <message>
        <source>Show in File Manager</source>
        <translation>Im Dateimanager zeigen</translation>
    </message>
    <message>
        <source>Your user may not use the Docker engine&apos;s socket. Join the docker group (sudo usermod -aG docker $USER, then log out and back in), or point DOCKER_HOST at a rootless engine (unix://$XDG_RUNTIME_DIR/docker.sock).</source>
        <translation>Ihr Benutzer darf den Socket der Docker-Engine nicht verwenden. Treten Sie der Gruppe „docker“ bei (sudo usermod -aG docker $USER, danach ab- und wieder anmelden) oder richten Sie DOCKER_HOST auf eine Engine ohne root-Rechte (unix://$XDG_RUNTIME_DIR/docker.sock).</translation>
    </message>
    <message>
        <source>Install Docker from your distribution&apos;s packages (on Debian or Ubuntu: sudo apt install docker.io), or Docker Engine or Docker Desktop from Docker&apos;s own packages, then press Retry.</source>
        <translation>Installieren Sie Docker aus den Paketen Ihrer Distribution (unter Debian oder Ubuntu: sudo apt install docker.io) oder Docker Engine bzw. Docker Desktop aus den Paketen von Docker und klicken Sie dann auf „Erneut versuchen“.</translation>
    </message>
    <message>
        <source>Restart the Docker service (sudo systemctl restart docker, or Docker Desktop if you use it) and try again.</source>
        <translation>Starten Sie den Docker-Dienst neu (sudo systemctl restart docker oder Docker Desktop, falls Sie es verwenden) und versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>ProjectCardAccessible</name>
    <message>
        <source>Select %1</source>
        <translation>%1 auswählen</translation>
    </message>
</context>
<context>
    <name>ProjectCardData</name>
    <message>
        <source>exclusive</source>
        <translation>exklusiv</translation>
    </message>
    <message>
        <source>shared: other</source>
        <translation>geteilt: andere</translation>
    </message>
    <message>
        <source>shared: %1</source>
        <translation>geteilt: %1</translation>
    </message>
    <message>
        <source>built</source>
        <translation>gebaut</translation>
    </message>
    <message>
        <source>base</source>
        <translation>Basis</translation>
    </message>
    <message>
        <source>● all stopped</source>
        <translation>● alle gestoppt</translation>
    </message>
    <message>
        <source>%1 · %2 (%3) · %4 (%5)</source>
        <translation>%1 · %2 (%3) · %4 (%5)</translation>
    </message>
    <message numerus="yes">
        <source>%n container(s)</source>
        <translation>
            <numerusform>%n Container</numerusform>
            <numerusform>%n Container</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n image(s)</source>
        <translation>
            <numerusform>%n Image</numerusform>
            <numerusform>%n Images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volume(s)</source>
        <translation>
            <numerusform>%n Volume</numerusform>
            <numerusform>%n Volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>● %n running</source>
        <translation>
            <numerusform>● %n läuft</numerusform>
            <numerusform>● %n laufen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ProjectCardLayout</name>
    <message>
        <source>· active %1</source>
        <translation>· aktiv %1</translation>
    </message>
    <message>
        <source>Terminal</source>
        <translation>Terminal</translation>
    </message>
    <message>
        <source>README</source>
        <translation>README</translation>
    </message>
    <message>
        <source>Copy Assistant Context</source>
        <translation>Kontext für Assistenten kopieren</translation>
    </message>
    <message>
        <source>Containers</source>
        <translation>Container</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>Volumes</source>
        <translation>Volumes</translation>
    </message>
    <message>
        <source>Delete entire project</source>
        <translation>Ganzes Projekt löschen</translation>
    </message>
    <message>
        <source>Asks, then removes this project&apos;s containers and the images and volumes only it uses</source>
        <translation>Fragt nach und entfernt dann die Container dieses Projekts sowie die Images und Volumes, die nur es verwendet</translation>
    </message>
    <message>
        <source>Remove Containers…</source>
        <translation>Container entfernen …</translation>
    </message>
    <message>
        <source>Asks, then removes this project&apos;s containers; images and volumes stay</source>
        <translation>Fragt nach und entfernt dann die Container dieses Projekts; Images und Volumes bleiben erhalten</translation>
    </message>
    <message>
        <source>Remove Images…</source>
        <translation>Images entfernen …</translation>
    </message>
    <message>
        <source>Asks, then removes the images only this project built and uses</source>
        <translation>Fragt nach und entfernt dann die Images, die nur dieses Projekt gebaut hat und verwendet</translation>
    </message>
    <message>
        <source>Remove Volumes…</source>
        <translation>Volumes entfernen …</translation>
    </message>
    <message>
        <source>Asks, then removes the volumes only this project uses, with their data</source>
        <translation>Fragt nach und entfernt dann die Volumes, die nur dieses Projekt verwendet, samt ihren Daten</translation>
    </message>
</context>
<context>
    <name>ProjectIndex</name>
    <message numerus="yes">
        <source>taken down — %n volume(s), %1 may hold data</source>
        <translation>
            <numerusform>heruntergefahren – %n Volume, %1 enthält möglicherweise Daten</numerusform>
            <numerusform>heruntergefahren – %n Volumes, %1 enthalten möglicherweise Daten</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ProjectSort</name>
    <message>
        <source>Last activity</source>
        <translation>Letzte Aktivität</translation>
    </message>
    <message>
        <source>Last started</source>
        <translation>Zuletzt gestartet</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Containers</source>
        <translation>Container</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
</context>
<context>
    <name>QtAlerts</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>ReadmeDialog</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>ReadmeFile</name>
    <message>
        <source>_Loading…_</source>
        <translation>_Wird geladen …_</translation>
    </message>
    <message>
        <source>_No README found in this project._</source>
        <translation>_In diesem Projekt wurde keine README gefunden._</translation>
    </message>
</context>
<context>
    <name>RelativeTime</name>
    <message numerus="yes">
        <source>%n year(s) ago</source>
        <translation>
            <numerusform>vor %n Jahr</numerusform>
            <numerusform>vor %n Jahren</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n year(s)</source>
        <translation>
            <numerusform>in %n Jahr</numerusform>
            <numerusform>in %n Jahren</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n month(s) ago</source>
        <translation>
            <numerusform>vor %n Monat</numerusform>
            <numerusform>vor %n Monaten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n month(s)</source>
        <translation>
            <numerusform>in %n Monat</numerusform>
            <numerusform>in %n Monaten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n week(s) ago</source>
        <translation>
            <numerusform>vor %n Woche</numerusform>
            <numerusform>vor %n Wochen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n week(s)</source>
        <translation>
            <numerusform>in %n Woche</numerusform>
            <numerusform>in %n Wochen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) ago</source>
        <translation>
            <numerusform>vor %n Tag</numerusform>
            <numerusform>vor %n Tagen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n day(s)</source>
        <translation>
            <numerusform>in %n Tag</numerusform>
            <numerusform>in %n Tagen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s) ago</source>
        <translation>
            <numerusform>vor %n Stunde</numerusform>
            <numerusform>vor %n Stunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n hour(s)</source>
        <translation>
            <numerusform>in %n Stunde</numerusform>
            <numerusform>in %n Stunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s) ago</source>
        <translation>
            <numerusform>vor %n Minute</numerusform>
            <numerusform>vor %n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n minute(s)</source>
        <translation>
            <numerusform>in %n Minute</numerusform>
            <numerusform>in %n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n second(s) ago</source>
        <translation>
            <numerusform>vor %n Sekunde</numerusform>
            <numerusform>vor %n Sekunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n second(s)</source>
        <translation>
            <numerusform>in %n Sekunde</numerusform>
            <numerusform>in %n Sekunden</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RemovalEnding</name>
    <message numerus="yes">
        <source>%n container(s)</source>
        <translation>
            <numerusform>%n Container</numerusform>
            <numerusform>%n Container</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 (and %n build layer(s))</source>
        <translation>
            <numerusform>%1 (und %n Build-Layer)</numerusform>
            <numerusform>%1 (und %n Build-Layer)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n image(s)</source>
        <translation>
            <numerusform>%n Image</numerusform>
            <numerusform>%n Images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volume(s)</source>
        <translation>
            <numerusform>%n Volume</numerusform>
            <numerusform>%n Volumes</numerusform>
        </translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>nichts</translation>
    </message>
    <message numerus="yes">
        <source>✗ … and %n more (see Logs)</source>
        <translation>
            <numerusform>✗ … und %n weiterer Fehler (siehe Protokoll)</numerusform>
            <numerusform>✗ … und %n weitere Fehler (siehe Protokoll)</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: stopped early — removed %2. See Logs.</source>
        <translation>%1: vorzeitig gestoppt – %2 entfernt. Siehe Protokoll.</translation>
    </message>
    <message>
        <source>Stopped early</source>
        <translation>Vorzeitig gestoppt</translation>
    </message>
    <message>
        <source>%1: removed %2 of %3 before stopping (Docker became unresponsive).</source>
        <translation>%1: %2 von %3 vor dem Stoppen entfernt (Docker reagierte nicht mehr).</translation>
    </message>
    <message>
        <source>%1: cancelled — removed %2.</source>
        <translation>%1: abgebrochen – %2 entfernt.</translation>
    </message>
    <message numerus="yes">
        <source>%1: completed with errors — removed %2, %n error(s). See Logs.</source>
        <translation>
            <numerusform>%1: mit Fehlern abgeschlossen – %2 entfernt, %n Fehler. Siehe Protokoll.</numerusform>
            <numerusform>%1: mit Fehlern abgeschlossen – %2 entfernt, %n Fehler. Siehe Protokoll.</numerusform>
        </translation>
    </message>
    <message>
        <source>Completed with errors</source>
        <translation>Mit Fehlern abgeschlossen</translation>
    </message>
    <message>
        <source>%1: removed %2%3  ·  data is stale — Refresh to reconcile.</source>
        <translation>%1: %2 entfernt%3  ·  Daten sind veraltet – zum Abgleichen aktualisieren.</translation>
    </message>
    <message>
        <source>Safe clean cancelled — build cache cleared, removed %1, %2.</source>
        <translation>Sicheres Aufräumen abgebrochen – Build-Cache geleert, %1 und %2 entfernt.</translation>
    </message>
    <message>
        <source>Safe clean cancelled — removed %1, %2.</source>
        <translation>Sicheres Aufräumen abgebrochen – %1 und %2 entfernt.</translation>
    </message>
    <message>
        <source>Docker became unresponsive, so the rest was not tried.</source>
        <translation>Docker reagierte nicht mehr, daher wurde der Rest nicht versucht.</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Build cache cleared.</source>
        <translation>Build-Cache geleert.</translation>
    </message>
    <message>
        <source>Build cache clear cancelled.</source>
        <translation>Leeren des Build-Caches abgebrochen.</translation>
    </message>
    <message>
        <source>Build cache not cleared</source>
        <translation>Build-Cache nicht geleert</translation>
    </message>
    <message>
        <source>docker builder prune failed: %1</source>
        <translation>„docker builder prune“ ist fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>%1: aborted — Docker daemon not responding. Nothing was removed.</source>
        <translation>%1: abgebrochen – der Docker-Daemon antwortet nicht. Nichts wurde entfernt.</translation>
    </message>
    <message>
        <source>Docker not responding</source>
        <translation>Docker antwortet nicht</translation>
    </message>
    <message>
        <source>The Docker daemon didn&apos;t respond to a health check, so nothing was deleted.</source>
        <translation>Der Docker-Daemon hat auf eine Zustandsprüfung nicht geantwortet, daher wurde nichts gelöscht.</translation>
    </message>
    <message>
        <source>Safe Clean All</source>
        <translation>Alles sicher aufräumen</translation>
    </message>
    <message>
        <source>build cache</source>
        <translation>Build-Cache</translation>
    </message>
    <message>
        <source>unused images</source>
        <translation>unbenutzte Images</translation>
    </message>
    <message>
        <source>orphan volumes</source>
        <translation>verwaiste Volumes</translation>
    </message>
    <message>
        <source>anonymous orphan volumes</source>
        <translation>anonyme verwaiste Volumes</translation>
    </message>
    <message>
        <source>Safe clean (%1)</source>
        <translation>Sicheres Aufräumen (%1)</translation>
    </message>
    <message>
        <source>✓ Build cache cleared</source>
        <translation>✓ Build-Cache geleert</translation>
    </message>
    <message>
        <source>✗ Build cache not cleared</source>
        <translation>✗ Build-Cache nicht geleert</translation>
    </message>
    <message>
        <source>✗ Build cache not cleared: %1</source>
        <translation>✗ Build-Cache nicht geleert: %1</translation>
    </message>
    <message numerus="yes">
        <source>✓ Removed %n image(s)</source>
        <translation>
            <numerusform>✓ %n Image entfernt</numerusform>
            <numerusform>✓ %n Images entfernt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>✓ Removed %n unused image(s)</source>
        <translation>
            <numerusform>✓ %n unbenutztes Image entfernt</numerusform>
            <numerusform>✓ %n unbenutzte Images entfernt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>✓ Removed %n volume(s)</source>
        <translation>
            <numerusform>✓ %n Volume entfernt</numerusform>
            <numerusform>✓ %n Volumes entfernt</numerusform>
        </translation>
    </message>
    <message>
        <source>✓ Removed %1</source>
        <translation>✓ %1 entfernt</translation>
    </message>
</context>
<context>
    <name>RemovalRunner</name>
    <message>
        <source>[%1] checking Docker daemon…</source>
        <translation>[%1] Docker-Daemon wird geprüft …</translation>
    </message>
    <message>
        <source>[%1] clearing build cache…</source>
        <translation>[%1] Build-Cache wird geleert …</translation>
    </message>
    <message>
        <source>build cache › %1</source>
        <translation>Build-Cache › %1</translation>
    </message>
    <message numerus="yes">
        <source>[%1] removing %n container(s)…</source>
        <translation>
            <numerusform>[%1] %n Container wird entfernt …</numerusform>
            <numerusform>[%1] %n Container werden entfernt …</numerusform>
        </translation>
    </message>
    <message>
        <source>[%1] removing image %2/%3: %4…</source>
        <translation>[%1] Image %2/%3 wird entfernt: %4 …</translation>
    </message>
    <message numerus="yes">
        <source>[%1] removing %n volume(s)…</source>
        <translation>
            <numerusform>[%1] %n Volume wird entfernt …</numerusform>
            <numerusform>[%1] %n Volumes werden entfernt …</numerusform>
        </translation>
    </message>
    <message>
        <source>build cache: %1</source>
        <translation>Build-Cache: %1</translation>
    </message>
    <message>
        <source>image %1: %2</source>
        <translation>Image %1: %2</translation>
    </message>
    <message>
        <source>timed out</source>
        <translation>Zeitüberschreitung</translation>
    </message>
</context>
<context>
    <name>UsageClassification</name>
    <message>
        <source>Not used by any container</source>
        <translation>Von keinem Container verwendet</translation>
    </message>
    <message>
        <source>Unknown — refresh needed</source>
        <translation>Unbekannt – Aktualisierung nötig</translation>
    </message>
    <message>
        <source>Used by container</source>
        <translation>Von Container verwendet</translation>
    </message>
    <message>
        <source>untagged images</source>
        <translation>Images ohne Tag</translation>
    </message>
    <message>
        <source>Build layer of %1</source>
        <translation>Build-Schicht von %1</translation>
    </message>
    <message>
        <source>Base of %1</source>
        <translation>Basis von %1</translation>
    </message>
    <message>
        <source>Dangling image</source>
        <translation>Verwaistes Image</translation>
    </message>
    <message>
        <source>Untagged — not verified</source>
        <translation>Ohne Tag – nicht geprüft</translation>
    </message>
    <message>
        <source>Shared — keep</source>
        <translation>Geteilt – behalten</translation>
    </message>
    <message>
        <source>Base image — not offered for bulk removal</source>
        <translation>Basis-Image – wird beim Sammelentfernen nicht angeboten</translation>
    </message>
    <message>
        <source>Pulled from a registry — kept</source>
        <translation>Aus einer Registry geladen – wird behalten</translation>
    </message>
    <message>
        <source>%1 (unused)</source>
        <translation>%1 (unbenutzt)</translation>
    </message>
    <message numerus="yes">
        <source>In use — %n container(s) (running)</source>
        <translation>
            <numerusform>In Verwendung – %n Container (läuft)</numerusform>
            <numerusform>In Verwendung – %n Container (laufen)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>In use — %n container(s) (stopped)</source>
        <translation>
            <numerusform>In Verwendung – %n Container (gestoppt)</numerusform>
            <numerusform>In Verwendung – %n Container (gestoppt)</numerusform>
        </translation>
    </message>
    <message>
        <source>Orphan — labelled, mounted by nothing</source>
        <translation>Verwaist – mit Label, nirgends eingebunden</translation>
    </message>
    <message>
        <source>Orphan — named, mounted by nothing</source>
        <translation>Verwaist – benannt, nirgends eingebunden</translation>
    </message>
    <message>
        <source>Orphan — anonymous</source>
        <translation>Verwaist – anonym</translation>
    </message>
    <message>
        <source>Docker says in use — keep</source>
        <translation>Laut Docker in Verwendung – behalten</translation>
    </message>
</context>
<context>
    <name>VolumeSections</name>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>In use by projects</source>
        <translation>In Projekten</translation>
    </message>
    <message>
        <source>Orphans</source>
        <translation>Verwaiste</translation>
    </message>
    <message>
        <source>In use — keep</source>
        <translation>In Verwendung – behalten</translation>
    </message>
    <message>
        <source>Orphan, had a project or a name</source>
        <translation>Verwaist, hatte ein Projekt oder einen Namen</translation>
    </message>
    <message>
        <source>Orphan, anonymous</source>
        <translation>Verwaist, anonym</translation>
    </message>
    <message>
        <source>Conflicting signals</source>
        <translation>Widersprüchliche Angaben</translation>
    </message>
    <message>
        <source>Usage not verified</source>
        <translation>Verwendung nicht geprüft</translation>
    </message>
    <message>
        <source>%1 (label only)</source>
        <translation>%1 (nur Label)</translation>
    </message>
    <message>
        <source>%1  ·  %2 in use (%3)  ·  %4 orphan (%5)</source>
        <translation>%1  ·  %2 in Verwendung (%3)  ·  %4 verwaist (%5)</translation>
    </message>
    <message numerus="yes">
        <source>%n volume(s)</source>
        <translation>
            <numerusform>%n Volume</numerusform>
            <numerusform>%n Volumes</numerusform>
        </translation>
    </message>
    <message>
        <source>(no compose project)</source>
        <translation>(kein Compose-Projekt)</translation>
    </message>
    <message numerus="yes">
        <source>%1  ·  running  ·  %n volume(s)  ·  %2</source>
        <translation>
            <numerusform>%1  ·  läuft  ·  %n Volume  ·  %2</numerusform>
            <numerusform>%1  ·  läuft  ·  %n Volumes  ·  %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1  ·  stopped  ·  %n volume(s)  ·  %2</source>
        <translation>
            <numerusform>%1  ·  gestoppt  ·  %n Volume  ·  %2</numerusform>
            <numerusform>%1  ·  gestoppt  ·  %n Volumes  ·  %2</numerusform>
        </translation>
    </message>
    <message>
        <source>Unknown — usage not verified  ·  %1  ·  %2</source>
        <translation>Unbekannt – Verwendung nicht geprüft  ·  %1  ·  %2</translation>
    </message>
    <message>
        <source>Conflicting signals — Docker still counts a reference  ·  %1</source>
        <translation>Widersprüchliche Angaben – Docker zählt noch einen Verweis  ·  %1</translation>
    </message>
    <message>
        <source>Orphan — labelled for a project, mounted by nothing  ·  %1  ·  %2  ·  check before deleting</source>
        <translation>Verwaist – einem Projekt zugeordnet, nirgends eingebunden  ·  %1  ·  %2  ·  vor dem Löschen prüfen</translation>
    </message>
    <message>
        <source>Orphan — named, no project, may hold data  ·  %1  ·  %2  ·  check before deleting</source>
        <translation>Verwaist – benannt, kein Projekt, enthält möglicherweise Daten  ·  %1  ·  %2  ·  vor dem Löschen prüfen</translation>
    </message>
    <message>
        <source>Orphan — anonymous, no project  ·  %1  ·  %2  ·  safe to remove</source>
        <translation>Verwaist – anonym, kein Projekt  ·  %1  ·  %2  ·  sicher entfernbar</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Stowage is already running</source>
        <translation>Stowage läuft bereits</translation>
    </message>
    <message>
        <source>Another Stowage process is using its data folder (lock: %1) and did not answer. Try again when it has finished.</source>
        <translation>Ein anderer Stowage-Prozess verwendet seinen Datenordner (Sperre: %1) und hat nicht geantwortet. Versuchen Sie es erneut, wenn er fertig ist.</translation>
    </message>
</context>
<context>
    <name>stowage::AllEnginesView</name>
    <message>
        <source>All Engines</source>
        <translation>Alle Engines</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Every docker context, side by side</source>
        <translation>Alle Docker-Kontexte nebeneinander</translation>
    </message>
    <message>
        <source>Engines</source>
        <translation>Engines</translation>
    </message>
    <message>
        <source>Listing the docker contexts…</source>
        <translation>Die Docker-Kontexte werden aufgelistet …</translation>
    </message>
    <message>
        <source>Docker lists no contexts.</source>
        <translation>Docker führt keine Kontexte auf.</translation>
    </message>
    <message>
        <source>Could not list the docker contexts: %1</source>
        <translation>Die Docker-Kontexte konnten nicht aufgelistet werden: %1</translation>
    </message>
    <message numerus="yes">
        <source>Reading %1 of %n engine(s)…</source>
        <translation>
            <numerusform>Lese %1 von %n Engine …</numerusform>
            <numerusform>Lese %1 von %n Engines …</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n engine(s) read, %1 not reachable</source>
        <translation>
            <numerusform>%n Engine gelesen, %1 nicht erreichbar</numerusform>
            <numerusform>%n Engines gelesen, %1 nicht erreichbar</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n engine(s) read</source>
        <translation>
            <numerusform>%n Engine gelesen</numerusform>
            <numerusform>%n Engines gelesen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>stowage::AppModel</name>
    <message>
        <source>Stopped before confirming — nothing was removed.</source>
        <translation>Vor der Bestätigung gestoppt – nichts wurde entfernt.</translation>
    </message>
    <message>
        <source>Nothing removed</source>
        <translation>Nichts entfernt</translation>
    </message>
    <message>
        <source>The current figures could not be read, so nothing was offered for removal.

%1</source>
        <translation>Die aktuellen Werte konnten nicht gelesen werden, daher wurde nichts zum Entfernen angeboten.

%1</translation>
    </message>
    <message>
        <source>Reading current figures before confirming…</source>
        <translation>Aktuelle Werte werden vor der Bestätigung gelesen …</translation>
    </message>
    <message>
        <source>Not started</source>
        <translation>Nicht gestartet</translation>
    </message>
    <message>
        <source>Another operation started while the confirmation was open, so nothing was removed. Try again when it has finished.</source>
        <translation>Während die Bestätigung offen war, hat ein anderer Vorgang begonnen, daher wurde nichts entfernt. Versuchen Sie es erneut, wenn er beendet ist.</translation>
    </message>
    <message>
        <source>Stopping…</source>
        <translation>Wird gestoppt …</translation>
    </message>
    <message>
        <source>Loaded from cache — usage was never fully verified. Refresh to check.</source>
        <translation>Aus dem Zwischenspeicher geladen – die Verwendung wurde nie vollständig geprüft. Aktualisieren Sie, um sie zu prüfen.</translation>
    </message>
    <message>
        <source>Showing cached data from %1 — press Refresh to update.</source>
        <translation>Zwischengespeicherte Daten vom %1 – klicken Sie auf „Aktualisieren“, um sie zu erneuern.</translation>
    </message>
    <message>
        <source>Loading Docker data…</source>
        <translation>Docker-Daten werden geladen …</translation>
    </message>
    <message>
        <source>The last refresh did not finish — usage was not verified. Refresh to check.</source>
        <translation>Die letzte Aktualisierung wurde nicht abgeschlossen – die Verwendung wurde nicht geprüft. Aktualisieren Sie, um sie zu prüfen.</translation>
    </message>
    <message>
        <source>Refresh cancelled.</source>
        <translation>Aktualisierung abgebrochen.</translation>
    </message>
    <message>
        <source>Reading current figures before confirming…  ·  %1s</source>
        <translation>Aktuelle Werte werden vor der Bestätigung gelesen …  ·  %1 s</translation>
    </message>
    <message numerus="yes">
        <source>[2/2] Disk usage · volume sizes · inspecting %n container(s) · info  ·  %1s</source>
        <translation>
            <numerusform>[2/2] Speicherbelegung · Volume-Größen · %n Container wird untersucht · Info  ·  %1 s</numerusform>
            <numerusform>[2/2] Speicherbelegung · Volume-Größen · %n Container werden untersucht · Info  ·  %1 s</numerusform>
        </translation>
    </message>
    <message>
        <source>[1/2] Reading containers · images · volumes…</source>
        <translation>[1/2] Container · Images · Volumes werden gelesen …</translation>
    </message>
    <message>
        <source>Building project index…</source>
        <translation>Projektverzeichnis wird aufgebaut …</translation>
    </message>
    <message>
        <source>Loaded: %1 (%2 running), %3, %4  |  Last refresh: %5</source>
        <translation>Geladen: %1 (%2 laufen), %3, %4  |  Letzte Aktualisierung: %5</translation>
    </message>
    <message numerus="yes">
        <source>%n container(s)</source>
        <translation>
            <numerusform>%n Container</numerusform>
            <numerusform>%n Container</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n image(s)</source>
        <translation>
            <numerusform>%n Image</numerusform>
            <numerusform>%n Images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volume(s)</source>
        <translation>
            <numerusform>%n Volume</numerusform>
            <numerusform>%n Volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n container(s) could not be inspected — %2</source>
        <translation>
            <numerusform>Nicht untersucht: %1 von %n Container — %2</numerusform>
            <numerusform>Nicht untersucht: %1 von %n Containern — %2</numerusform>
        </translation>
    </message>
    <message>
        <source>docker inspect returned no data</source>
        <translation>docker inspect hat nichts geliefert</translation>
    </message>
</context>
<context>
    <name>stowage::BrandBar</name>
    <message>
        <source>Scanning…</source>
        <translation>Wird gelesen …</translation>
    </message>
    <message>
        <source>docker program not found</source>
        <translation>Programm „docker“ nicht gefunden</translation>
    </message>
    <message>
        <source>Docker socket refused this user</source>
        <translation>Der Docker-Socket verweigert diesem Benutzer den Zugriff</translation>
    </message>
    <message>
        <source>Docker not answering</source>
        <translation>Docker antwortet nicht</translation>
    </message>
    <message>
        <source>No scan yet</source>
        <translation>Noch nicht eingelesen</translation>
    </message>
    <message numerus="yes">
        <source>%n image(s)</source>
        <translation>
            <numerusform>%n Image</numerusform>
            <numerusform>%n Images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volume(s)</source>
        <translation>
            <numerusform>%n Volume</numerusform>
            <numerusform>%n Volumes</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 · %2 · stale</source>
        <translation>%1 · %2 · veraltet</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>made by KILNWORKS with ☕</source>
        <translation>mit ☕ gemacht von KILNWORKS</translation>
    </message>
    <message>
        <source>Stowage Home</source>
        <translation>Stowage-Website</translation>
    </message>
</context>
<context>
    <name>stowage::BuildCacheTab</name>
    <message>
        <source>Total Size</source>
        <translation>Gesamtgröße</translation>
    </message>
    <message>
        <source>Reclaimable</source>
        <translation>Freigebbar</translation>
    </message>
    <message>
        <source>Build cache stores intermediate layers from &apos;docker build&apos;.
Clearing it is always safe — builds will just be slower the first time.</source>
        <translation>Der Build-Cache speichert Zwischenschichten aus „docker build“.
Ihn zu leeren ist immer sicher – Builds dauern danach nur beim ersten Mal länger.</translation>
    </message>
    <message>
        <source>Clear Build Cache</source>
        <translation>Build-Cache leeren</translation>
    </message>
    <message>
        <source>Asks, then removes Docker&apos;s build cache; later builds take longer while it fills again</source>
        <translation>Fragt nach und entfernt dann den Build-Cache von Docker; spätere Builds dauern länger, bis er wieder gefüllt ist</translation>
    </message>
    <message>
        <source>Build Cache</source>
        <translation>Build-Cache</translation>
    </message>
</context>
<context>
    <name>stowage::CommandMonitor</name>
    <message>
        <source>%1 running · %2s</source>
        <translation>%1 läuft · %2 s</translation>
    </message>
    <message>
        <source>A docker command has been running for %1s — it may be stuck. Press Stop to kill it.</source>
        <translation>Ein docker-Befehl läuft seit %1 s – er hängt möglicherweise. Klicken Sie auf „Stoppen“, um ihn zu beenden.</translation>
    </message>
</context>
<context>
    <name>stowage::DiskMapView</name>
    <message>
        <source>Disk map</source>
        <translation>Speicherkarte</translation>
    </message>
    <message>
        <source>%1, %2, %3</source>
        <translation>%1, %2, %3</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
</context>
<context>
    <name>stowage::EmptyState</name>
    <message>
        <source>Retry</source>
        <translation>Erneut versuchen</translation>
    </message>
    <message>
        <source>Couldn&apos;t reach Docker</source>
        <translation>Docker ist nicht erreichbar</translation>
    </message>
    <message>
        <source>No Docker data</source>
        <translation>Keine Docker-Daten</translation>
    </message>
    <message>
        <source>Make sure Docker is running, then refresh.</source>
        <translation>Stellen Sie sicher, dass Docker läuft, und aktualisieren Sie dann.</translation>
    </message>
</context>
<context>
    <name>stowage::EngineChooser</name>
    <message>
        <source>Engine</source>
        <translation>Engine</translation>
    </message>
    <message>
        <source>chosen by the environment</source>
        <translation>durch die Umgebung gewählt</translation>
    </message>
    <message>
        <source>unusable: %1</source>
        <translation>unbrauchbar: %1</translation>
    </message>
    <message>
        <source>reachable</source>
        <translation>erreichbar</translation>
    </message>
    <message>
        <source>not reachable</source>
        <translation>nicht erreichbar</translation>
    </message>
    <message>
        <source>read %1</source>
        <translation>gelesen am %1</translation>
    </message>
    <message>
        <source> (environment)</source>
        <translation> (Umgebung)</translation>
    </message>
    <message>
        <source>%1 (gone)</source>
        <translation>%1 (verschwunden)</translation>
    </message>
    <message>
        <source>Docker no longer knows this engine: what is shown was read before it went.</source>
        <translation>Docker kennt diese Engine nicht mehr: Was angezeigt wird, wurde gelesen, bevor sie verschwand.</translation>
    </message>
    <message>
        <source>The engine shown. Choose another to see what it holds.</source>
        <translation>Die angezeigte Engine. Wählen Sie eine andere, um zu sehen, was sie enthält.</translation>
    </message>
    <message>
        <source>Reading the engines…</source>
        <translation>Die Engines werden gelesen …</translation>
    </message>
    <message>
        <source>The engines cannot be listed: %1</source>
        <translation>Die Engines können nicht aufgelistet werden: %1</translation>
    </message>
</context>
<context>
    <name>stowage::EngineTableModel</name>
    <message>
        <source>Reading…</source>
        <translation>Wird gelesen …</translation>
    </message>
    <message>
        <source>Connecting…</source>
        <translation>Verbindung wird hergestellt …</translation>
    </message>
    <message>
        <source>Reachable</source>
        <translation>Erreichbar</translation>
    </message>
    <message>
        <source>Could not be read: %1</source>
        <translation>Konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Not reachable: %1</source>
        <translation>Nicht erreichbar: %1</translation>
    </message>
    <message>
        <source>%1 — the same engine as %2</source>
        <translation>%1 – dieselbe Engine wie %2</translation>
    </message>
    <message>
        <source>Engine</source>
        <translation>Engine</translation>
    </message>
    <message>
        <source>Endpoint</source>
        <translation>Endpunkt</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>Volumes</source>
        <translation>Volumes</translation>
    </message>
    <message>
        <source>Build Cache</source>
        <translation>Build-Cache</translation>
    </message>
    <message>
        <source>Disk Used</source>
        <translation>Belegter Speicher</translation>
    </message>
    <message>
        <source>Safe to Remove</source>
        <translation>Sicher entfernbar</translation>
    </message>
    <message>
        <source>Last Refresh</source>
        <translation>Letzte Aktualisierung</translation>
    </message>
    <message>
        <source>Engine ID</source>
        <translation>Engine-ID</translation>
    </message>
</context>
<context>
    <name>stowage::GrowthChart</name>
    <message>
        <source>All of Docker</source>
        <translation>Docker gesamt</translation>
    </message>
    <message>
        <source>Removals by Stowage</source>
        <translation>Entfernt durch Stowage</translation>
    </message>
    <message>
        <source>HH:mm</source>
        <translation>HH:mm</translation>
    </message>
    <message>
        <source>d MMM</source>
        <translation>d. MMM</translation>
    </message>
</context>
<context>
    <name>stowage::GrowthView</name>
    <message>
        <source>Growth</source>
        <translation>Wachstum</translation>
    </message>
    <message>
        <source>24 hours</source>
        <translation>24 Stunden</translation>
    </message>
    <message>
        <source>7 days</source>
        <translation>7 Tage</translation>
    </message>
    <message>
        <source>30 days</source>
        <translation>30 Tage</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Gesamt</translation>
    </message>
    <message>
        <source>Period</source>
        <translation>Zeitraum</translation>
    </message>
    <message>
        <source>Disk use over time</source>
        <translation>Speicherbelegung im Zeitverlauf</translation>
    </message>
    <message>
        <source>Projects drawn on the chart</source>
        <translation>Im Diagramm gezeigte Projekte</translation>
    </message>
    <message>
        <source>The projects to draw beside Docker&apos;s total</source>
        <translation>Die Projekte, die neben der Gesamtbelegung von Docker gezeigt werden</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Size now</source>
        <translation>Aktuelle Größe</translation>
    </message>
    <message>
        <source>What grew the most</source>
        <translation>Was am stärksten gewachsen ist</translation>
    </message>
    <message>
        <source>No history is kept: there is no data folder to keep it in.</source>
        <translation>Es wird kein Verlauf geführt: Es gibt keinen Datenordner, in dem er liegen könnte.</translation>
    </message>
    <message>
        <source>The history cannot be read; the Logs tab says why.</source>
        <translation>Der Verlauf kann nicht gelesen werden; der Reiter „Protokoll“ nennt den Grund.</translation>
    </message>
    <message>
        <source>No history yet: each refresh adds a point.</source>
        <translation>Noch kein Verlauf: Jede Aktualisierung fügt einen Punkt hinzu.</translation>
    </message>
    <message>
        <source>Grew the most since %1</source>
        <translation>Am stärksten gewachsen seit %1</translation>
    </message>
    <message>
        <source>%1 (new)</source>
        <translation>%1 (neu)</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>Projekt</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
</context>
<context>
    <name>stowage::HeaderBar</name>
    <message>
        <source>Stale</source>
        <translation>Veraltet</translation>
    </message>
    <message>
        <source>Data was changed locally or loaded from cache. Refresh to reconcile with Docker.</source>
        <translation>Die Daten wurden lokal geändert oder aus dem Zwischenspeicher geladen. Aktualisieren Sie, um sie mit Docker abzugleichen.</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
</context>
<context>
    <name>stowage::ImageTableModel</name>
    <message>
        <source>Usage</source>
        <translation>Verwendung</translation>
    </message>
    <message>
        <source>Repository</source>
        <translation>Repository</translation>
    </message>
    <message>
        <source>Tag</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Erstellt</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>Projekt</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
</context>
<context>
    <name>stowage::ImagesTab</name>
    <message>
        <source>Docker Images</source>
        <translation>Docker-Images</translation>
    </message>
    <message>
        <source>Untagged images the classic builder made for each build step. They are removed with the image built on them, never on their own.</source>
        <translation>Images ohne Tag, die der klassische Builder für jeden Build-Schritt angelegt hat. Sie werden mit dem darauf gebauten Image entfernt, nie einzeln.</translation>
    </message>
    <message>
        <source>Remove Selected (Safe Only)</source>
        <translation>Ausgewählte entfernen (nur sichere)</translation>
    </message>
    <message>
        <source>Remove All Unused Images</source>
        <translation>Alle unbenutzten Images entfernen</translation>
    </message>
    <message>
        <source>Asks, then removes the selected images that no container uses; the others stay</source>
        <translation>Fragt nach und entfernt dann die ausgewählten Images, die kein Container verwendet; die anderen bleiben erhalten</translation>
    </message>
    <message>
        <source>Asks, then removes the images no container uses; unused base images are kept</source>
        <translation>Fragt nach und entfernt dann die Images, die kein Container verwendet; unbenutzte Basis-Images bleiben erhalten</translation>
    </message>
    <message>
        <source>Show build layers (%1)</source>
        <translation>Build-Schichten anzeigen (%1)</translation>
    </message>
</context>
<context>
    <name>stowage::LogsTab</name>
    <message>
        <source>No activity yet.</source>
        <translation>Noch keine Aktivität.</translation>
    </message>
    <message>
        <source>Select a line to read it in full and copy any part of it.</source>
        <translation>Wählen Sie eine Zeile aus, um sie vollständig zu lesen und beliebige Teile daraus zu kopieren.</translation>
    </message>
    <message>
        <source>Selected log line</source>
        <translation>Ausgewählte Protokollzeile</translation>
    </message>
    <message>
        <source>Activity &amp; Logs</source>
        <translation>Aktivität &amp; Protokoll</translation>
    </message>
    <message>
        <source>Show levels</source>
        <translation>Stufen anzeigen</translation>
    </message>
    <message>
        <source>Auto-scroll</source>
        <translation>Automatisch scrollen</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>The log is the record of what Stowage removed. Clearing empties the list.</source>
        <translation>Das Protokoll hält fest, was Stowage entfernt hat. Beim Leeren wird die Liste geleert.</translation>
    </message>
    <message>
        <source>Clear the activity log?</source>
        <translation>Aktivitätsprotokoll leeren?</translation>
    </message>
    <message>
        <source>The log is the record of what Stowage removed. Clearing empties the list.

The current log file is kept as %1, replacing the one kept before.</source>
        <translation>Das Protokoll hält fest, was Stowage entfernt hat. Beim Leeren wird die Liste geleert.

Die aktuelle Protokolldatei wird als %1 aufbewahrt und ersetzt die zuvor aufbewahrte.</translation>
    </message>
    <message numerus="yes">
        <source>%n entry(ies)</source>
        <translation>
            <numerusform>%n Eintrag</numerusform>
            <numerusform>%n Einträge</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Copied %n log line(s) to clipboard.</source>
        <translation>
            <numerusform>%n Protokollzeile in die Zwischenablage kopiert.</numerusform>
            <numerusform>%n Protokollzeilen in die Zwischenablage kopiert.</numerusform>
        </translation>
    </message>
    <message>
        <source>No log file written yet.</source>
        <translation>Noch keine Protokolldatei geschrieben.</translation>
    </message>
</context>
<context>
    <name>stowage::MainWindow</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stoppen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Stowage Help</source>
        <translation>Stowage-Hilfe</translation>
    </message>
    <message>
        <source>Stop the removal and quit?</source>
        <translation>Entfernen stoppen und beenden?</translation>
    </message>
    <message>
        <source>A removal is running. Quitting stops it: what Docker has removed so far stays removed, the rest stays, and the log records which is which.</source>
        <translation>Ein Entfernen läuft. Beenden stoppt es: Was Docker bereits entfernt hat, bleibt entfernt, der Rest bleibt erhalten, und das Protokoll hält fest, was was ist.</translation>
    </message>
    <message>
        <source>All Engines…</source>
        <translation>Alle Engines …</translation>
    </message>
</context>
<context>
    <name>stowage::OverviewProjectsModel</name>
    <message>
        <source>(no project)</source>
        <translation>(kein Projekt)</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>Projekt</translation>
    </message>
    <message>
        <source>Containers</source>
        <translation>Container</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>Laufend</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Gestoppt</translation>
    </message>
    <message>
        <source>Images Used</source>
        <translation>Verwendete Images</translation>
    </message>
</context>
<context>
    <name>stowage::OverviewTab</name>
    <message>
        <source>Quick Actions</source>
        <translation>Schnellaktionen</translation>
    </message>
    <message>
        <source>Disk Map</source>
        <translation>Speicherkarte</translation>
    </message>
    <message>
        <source>Projects (Compose)</source>
        <translation>Projekte (Compose)</translation>
    </message>
    <message>
        <source>Containers</source>
        <translation>Container</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>Volumes</source>
        <translation>Volumes</translation>
    </message>
    <message>
        <source>Build Cache</source>
        <translation>Build-Cache</translation>
    </message>
    <message>
        <source>Reclaimable</source>
        <translation>Freigebbar</translation>
    </message>
    <message>
        <source>Docker Data Root:</source>
        <translation>Docker-Datenverzeichnis:</translation>
    </message>
    <message>
        <source>Asks, then removes Docker&apos;s build cache; later builds take longer while it fills again</source>
        <translation>Fragt nach und entfernt dann den Build-Cache von Docker; spätere Builds dauern länger, bis er wieder gefüllt ist</translation>
    </message>
    <message>
        <source>Asks, then removes the images no container uses; unused base images are kept</source>
        <translation>Fragt nach und entfernt dann die Images, die kein Container verwendet; unbenutzte Basis-Images bleiben erhalten</translation>
    </message>
    <message>
        <source>Asks, then removes the volumes no project or container uses, with their data</source>
        <translation>Fragt nach und entfernt dann die Volumes, die kein Projekt und kein Container verwendet, samt ihren Daten</translation>
    </message>
    <message>
        <source>Asks, then removes the build cache, the unused images and the anonymous orphan volumes</source>
        <translation>Fragt nach und entfernt dann den Build-Cache, die unbenutzten Images und die anonymen verwaisten Volumes</translation>
    </message>
    <message>
        <source>reading…</source>
        <translation>wird gelesen …</translation>
    </message>
    <message>
        <source>%1 total</source>
        <translation>%1 insgesamt</translation>
    </message>
    <message>
        <source>Reclaimable: %1</source>
        <translation>Freigebbar: %1</translation>
    </message>
    <message>
        <source>Safe to remove</source>
        <translation>Sicher entfernbar</translation>
    </message>
    <message>
        <source>Clean Build Cache (%1)</source>
        <translation>Build-Cache leeren (%1)</translation>
    </message>
    <message>
        <source>Remove Unused Images (%1)</source>
        <translation>Unbenutzte Images entfernen (%1)</translation>
    </message>
    <message>
        <source>Remove Orphan Volumes (%1)</source>
        <translation>Verwaiste Volumes entfernen (%1)</translation>
    </message>
    <message>
        <source>Safe Clean All (%1)</source>
        <translation>Alles sicher aufräumen (%1)</translation>
    </message>
    <message numerus="yes">
        <source>%n running</source>
        <translation>
            <numerusform>%n läuft</numerusform>
            <numerusform>%n laufen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>stowage::ProjectShortcuts</name>
    <message>
        <source>Copied assistant context for &apos;%1&apos; to clipboard (%2 chars).</source>
        <translation>Kontext für Assistenten zu „%1“ in die Zwischenablage kopiert (%2 Zeichen).</translation>
    </message>
    <message>
        <source>Copy Link</source>
        <translation>Link kopieren</translation>
    </message>
    <message>
        <source>Copy Path</source>
        <translation>Pfad kopieren</translation>
    </message>
    <message>
        <source>On %1: open it there.</source>
        <translation>Auf %1: Öffnen Sie es dort.</translation>
    </message>
</context>
<context>
    <name>stowage::ProjectsTab</name>
    <message>
        <source>Search projects…</source>
        <translation>Projekte durchsuchen …</translation>
    </message>
    <message>
        <source>Sort</source>
        <translation>Sortieren</translation>
    </message>
    <message>
        <source>Sort direction</source>
        <translation>Sortierrichtung</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Delete %1</source>
        <translation>%1 löschen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Asks, then removes the selected projects&apos; containers and the images and volumes only they use</source>
        <translation>Fragt nach und entfernt dann die Container der ausgewählten Projekte sowie die Images und Volumes, die nur sie verwenden</translation>
    </message>
    <message>
        <source>Projects</source>
        <translation>Projekte</translation>
    </message>
    <message>
        <source>No projects.</source>
        <translation>Keine Projekte.</translation>
    </message>
    <message>
        <source>No projects match “%1”.</source>
        <translation>Keine Projekte passen zu „%1“.</translation>
    </message>
    <message>
        <source>Ascending</source>
        <translation>Aufsteigend</translation>
    </message>
    <message>
        <source>Descending</source>
        <translation>Absteigend</translation>
    </message>
</context>
<context>
    <name>stowage::Removals</name>
    <message>
        <source>Info</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>No containers in this project.</source>
        <translation>Dieses Projekt hat keine Container.</translation>
    </message>
    <message>
        <source>%1 containers</source>
        <translation>Container von %1</translation>
    </message>
    <message>
        <source>Blocked</source>
        <translation>Gesperrt</translation>
    </message>
    <message>
        <source>Usage could not be fully verified, so no image or volume is called exclusive to this project.

%1

Press Refresh and try again.</source>
        <translation>Die Verwendung konnte nicht vollständig geprüft werden, daher gilt kein Image und kein Volume als exklusiv für dieses Projekt.

%1

Klicken Sie auf „Aktualisieren“ und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>No images exclusive to this project.</source>
        <translation>Keine Images, die nur diesem Projekt gehören.</translation>
    </message>
    <message>
        <source>%1 images</source>
        <translation>Images von %1</translation>
    </message>
    <message>
        <source>No volumes exclusive to this project.</source>
        <translation>Keine Volumes, die nur diesem Projekt gehören.</translation>
    </message>
    <message>
        <source>%1 volumes</source>
        <translation>Volumes von %1</translation>
    </message>
    <message>
        <source>project %1</source>
        <translation>Projekt %1</translation>
    </message>
    <message numerus="yes">
        <source>%n project(s)</source>
        <translation>
            <numerusform>%n Projekt</numerusform>
            <numerusform>%n Projekte</numerusform>
        </translation>
    </message>
    <message>
        <source>Clearing build cache…</source>
        <translation>Build-Cache wird geleert …</translation>
    </message>
    <message>
        <source>build cache</source>
        <translation>Build-Cache</translation>
    </message>
    <message>
        <source>No unused images found.</source>
        <translation>Keine unbenutzten Images gefunden.</translation>
    </message>
    <message>
        <source>unused images</source>
        <translation>unbenutzte Images</translation>
    </message>
    <message>
        <source>orphan volumes</source>
        <translation>verwaiste Volumes</translation>
    </message>
    <message>
        <source>anonymous orphan volumes</source>
        <translation>anonyme verwaiste Volumes</translation>
    </message>
    <message>
        <source>Volume usage could not be fully verified, so nothing is being called an orphan.

%1

Press Refresh and try again.</source>
        <translation>Die Verwendung der Volumes konnte nicht vollständig geprüft werden, daher gilt nichts als verwaist.

%1

Klicken Sie auf „Aktualisieren“ und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>No matching orphan volumes found.</source>
        <translation>Keine passenden verwaisten Volumes gefunden.</translation>
    </message>
    <message>
        <source>Select images to remove first.</source>
        <translation>Wählen Sie zuerst die zu entfernenden Images aus.</translation>
    </message>
    <message>
        <source>selected images</source>
        <translation>ausgewählte Images</translation>
    </message>
    <message>
        <source>Select volumes to remove first.</source>
        <translation>Wählen Sie zuerst die zu entfernenden Volumes aus.</translation>
    </message>
    <message>
        <source>selected volumes</source>
        <translation>ausgewählte Volumes</translation>
    </message>
    <message>
        <source>On engine %1.</source>
        <translation>Auf der Engine %1.</translation>
    </message>
</context>
<context>
    <name>stowage::RootView</name>
    <message>
        <source>Overview</source>
        <translation>Übersicht</translation>
    </message>
    <message>
        <source>Projects</source>
        <translation>Projekte</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>Volumes</source>
        <translation>Volumes</translation>
    </message>
    <message>
        <source>Build Cache</source>
        <translation>Build-Cache</translation>
    </message>
    <message>
        <source>Logs</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>Tabs</source>
        <translation>Reiter</translation>
    </message>
</context>
<context>
    <name>stowage::RunningCommandsPanel</name>
    <message>
        <source>Stop all</source>
        <translation>Alle stoppen</translation>
    </message>
    <message>
        <source>Kill this docker command</source>
        <translation>Diesen docker-Befehl beenden</translation>
    </message>
    <message>
        <source>Running now (%1)</source>
        <translation>Laufend (%1)</translation>
    </message>
</context>
<context>
    <name>stowage::SearchField</name>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Clear search</source>
        <translation>Suche leeren</translation>
    </message>
</context>
<context>
    <name>stowage::StatusBar</name>
    <message>
        <source>Working</source>
        <translation>In Arbeit</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stoppen</translation>
    </message>
    <message>
        <source>Stop the current operation and kill any stuck docker command</source>
        <translation>Den laufenden Vorgang stoppen und hängende docker-Befehle beenden</translation>
    </message>
</context>
<context>
    <name>stowage::UsageWarningBanner</name>
    <message>
        <source>Usage not verified — nothing is marked as an orphan</source>
        <translation>Verwendung nicht geprüft – nichts ist als verwaist markiert</translation>
    </message>
    <message>
        <source>Press Refresh to read which containers hold which volumes.</source>
        <translation>Klicken Sie auf „Aktualisieren“, um zu lesen, welche Container welche Volumes verwenden.</translation>
    </message>
</context>
<context>
    <name>stowage::VolumeTableModel</name>
    <message>
        <source>Section: %1</source>
        <translation>Abschnitt: %1</translation>
    </message>
    <message>
        <source>Usage</source>
        <translation>Verwendung</translation>
    </message>
    <message>
        <source>Volume Name</source>
        <translation>Volume-Name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>Projekt</translation>
    </message>
    <message>
        <source>Used by</source>
        <translation>Verwendet von</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Mountpoint</source>
        <translation>Einhängepunkt</translation>
    </message>
</context>
<context>
    <name>stowage::VolumesTab</name>
    <message>
        <source>Docker Volumes</source>
        <translation>Docker-Volumes</translation>
    </message>
    <message>
        <source>In use — keep</source>
        <translation>In Verwendung – behalten</translation>
    </message>
    <message>
        <source>Orphan, had a project or a name</source>
        <translation>Verwaist, hatte ein Projekt oder einen Namen</translation>
    </message>
    <message>
        <source>Orphan, anonymous</source>
        <translation>Verwaist, anonym</translation>
    </message>
    <message>
        <source>Show volumes</source>
        <translation>Volumes anzeigen</translation>
    </message>
    <message>
        <source>Search volume or project…</source>
        <translation>Volume oder Projekt suchen …</translation>
    </message>
    <message>
        <source>Remove Selected</source>
        <translation>Ausgewählte entfernen</translation>
    </message>
    <message>
        <source>Asks, then removes the selected volumes, with their data</source>
        <translation>Fragt nach und entfernt dann die ausgewählten Volumes samt ihren Daten</translation>
    </message>
    <message>
        <source>Asks, then removes the orphan volumes that have no name or project, with their data</source>
        <translation>Fragt nach und entfernt dann die verwaisten Volumes ohne Namen oder Projekt samt ihren Daten</translation>
    </message>
    <message>
        <source>Asks, then removes every orphan volume, with its data</source>
        <translation>Fragt nach und entfernt dann alle verwaisten Volumes samt ihren Daten</translation>
    </message>
    <message>
        <source>Volumes of stopped projects are listed first and are never offered for deletion</source>
        <translation>Volumes gestoppter Projekte stehen oben und werden nie zum Löschen angeboten</translation>
    </message>
    <message numerus="yes">
        <source>Remove %n Anonymous Orphan(s)</source>
        <translation>
            <numerusform>%n anonymes verwaistes Volume entfernen</numerusform>
            <numerusform>%n anonyme verwaiste Volumes entfernen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Remove All %n Orphan(s)</source>
        <translation>
            <numerusform>%n verwaistes Volume entfernen</numerusform>
            <numerusform>Alle %n verwaisten Volumes entfernen</numerusform>
        </translation>
    </message>
</context>
</TS>
