<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Confirmation</name>
    <message numerus="yes">
        <source>%n untagged build layer(s)</source>
        <translation>
            <numerusform>%n untagged build layer</numerusform>
            <numerusform>%n untagged build layers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n unused image(s)</source>
        <translation>
            <numerusform>%n unused image</numerusform>
            <numerusform>%n unused images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volume(s)</source>
        <translation>
            <numerusform>%n volume</numerusform>
            <numerusform>%n volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n container(s)</source>
        <translation>
            <numerusform>%n container</numerusform>
            <numerusform>%n containers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n image(s)</source>
        <translation>
            <numerusform>%n image</numerusform>
            <numerusform>%n images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n project(s)</source>
        <translation>
            <numerusform>%n project</numerusform>
            <numerusform>%n projects</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n built image(s)</source>
        <translation>
            <numerusform>%n built image</numerusform>
            <numerusform>%n built images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Project(s)</source>
        <translation>
            <numerusform>%n Project</numerusform>
            <numerusform>%n Projects</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n named orphan volume(s)</source>
        <translation>
            <numerusform>%n named orphan volume</numerusform>
            <numerusform>%n named orphan volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n project orphan volume(s)</source>
        <translation>
            <numerusform>%n project orphan volume</numerusform>
            <numerusform>%n project orphan volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n orphan volume(s)</source>
        <translation>
            <numerusform>%n orphan volume</numerusform>
            <numerusform>%n orphan volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n anonymous orphan volume(s)</source>
        <translation>
            <numerusform>%n anonymous orphan volume</numerusform>
            <numerusform>%n anonymous orphan volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Remove %n Container(s)</source>
        <translation>
            <numerusform>Remove %n Container</numerusform>
            <numerusform>Remove %n Containers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Remove %n Image(s)</source>
        <translation>
            <numerusform>Remove %n Image</numerusform>
            <numerusform>Remove %n Images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Remove %n Volume(s)</source>
        <translation>
            <numerusform>Remove %n Volume</numerusform>
            <numerusform>Remove %n Volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>  … and %n more anonymous volume(s)</source>
        <translation>
            <numerusform>  … and %n more anonymous volume</numerusform>
            <numerusform>  … and %n more anonymous volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n untagged build layer(s) of those images</source>
        <translation>
            <numerusform>%n untagged build layer of those images</numerusform>
            <numerusform>%n untagged build layers of those images</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ContainerStatus</name>
    <message numerus="yes">
        <source>%n second(s)</source>
        <translation>
            <numerusform>%n second</numerusform>
            <numerusform>%n seconds</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s)</source>
        <translation>
            <numerusform>%n minute</numerusform>
            <numerusform>%n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s)</source>
        <translation>
            <numerusform>%n hour</numerusform>
            <numerusform>%n hours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s)</source>
        <translation>
            <numerusform>%n day</numerusform>
            <numerusform>%n days</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n week(s)</source>
        <translation>
            <numerusform>%n week</numerusform>
            <numerusform>%n weeks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n month(s)</source>
        <translation>
            <numerusform>%n month</numerusform>
            <numerusform>%n months</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n year(s)</source>
        <translation>
            <numerusform>%n year</numerusform>
            <numerusform>%n years</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DiskMap</name>
    <message numerus="yes">
        <source>%n smaller items</source>
        <translation>
            <numerusform>%n smaller items</numerusform>
            <numerusform>%n smaller items</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ProjectCardData</name>
    <message numerus="yes">
        <source>%n container(s)</source>
        <translation>
            <numerusform>%n container</numerusform>
            <numerusform>%n containers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n image(s)</source>
        <translation>
            <numerusform>%n image</numerusform>
            <numerusform>%n images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volume(s)</source>
        <translation>
            <numerusform>%n volume</numerusform>
            <numerusform>%n volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>● %n running</source>
        <translation>
            <numerusform>● %n running</numerusform>
            <numerusform>● %n running</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ProjectIndex</name>
    <message numerus="yes">
        <source>taken down — %n volume(s), %1 may hold data</source>
        <translation>
            <numerusform>taken down — %n volume, %1 may hold data</numerusform>
            <numerusform>taken down — %n volumes, %1 may hold data</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RelativeTime</name>
    <message numerus="yes">
        <source>%n year(s) ago</source>
        <translation>
            <numerusform>%n year ago</numerusform>
            <numerusform>%n years ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n year(s)</source>
        <translation>
            <numerusform>in %n year</numerusform>
            <numerusform>in %n years</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n month(s) ago</source>
        <translation>
            <numerusform>%n month ago</numerusform>
            <numerusform>%n months ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n month(s)</source>
        <translation>
            <numerusform>in %n month</numerusform>
            <numerusform>in %n months</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n week(s) ago</source>
        <translation>
            <numerusform>%n week ago</numerusform>
            <numerusform>%n weeks ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n week(s)</source>
        <translation>
            <numerusform>in %n week</numerusform>
            <numerusform>in %n weeks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) ago</source>
        <translation>
            <numerusform>%n day ago</numerusform>
            <numerusform>%n days ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n day(s)</source>
        <translation>
            <numerusform>in %n day</numerusform>
            <numerusform>in %n days</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s) ago</source>
        <translation>
            <numerusform>%n hour ago</numerusform>
            <numerusform>%n hours ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n hour(s)</source>
        <translation>
            <numerusform>in %n hour</numerusform>
            <numerusform>in %n hours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s) ago</source>
        <translation>
            <numerusform>%n minute ago</numerusform>
            <numerusform>%n minutes ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n minute(s)</source>
        <translation>
            <numerusform>in %n minute</numerusform>
            <numerusform>in %n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n second(s) ago</source>
        <translation>
            <numerusform>%n second ago</numerusform>
            <numerusform>%n seconds ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n second(s)</source>
        <translation>
            <numerusform>in %n second</numerusform>
            <numerusform>in %n seconds</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RemovalEnding</name>
    <message numerus="yes">
        <source>%n container(s)</source>
        <translation>
            <numerusform>%n container</numerusform>
            <numerusform>%n containers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 (and %n build layer(s))</source>
        <translation>
            <numerusform>%1 (and %n build layer)</numerusform>
            <numerusform>%1 (and %n build layers)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n image(s)</source>
        <translation>
            <numerusform>%n image</numerusform>
            <numerusform>%n images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volume(s)</source>
        <translation>
            <numerusform>%n volume</numerusform>
            <numerusform>%n volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>✗ … and %n more (see Logs)</source>
        <translation>
            <numerusform>✗ … and %n more (see Logs)</numerusform>
            <numerusform>✗ … and %n more (see Logs)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: completed with errors — removed %2, %n error(s). See Logs.</source>
        <translation>
            <numerusform>%1: completed with errors — removed %2, %n error. See Logs.</numerusform>
            <numerusform>%1: completed with errors — removed %2, %n errors. See Logs.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>✓ Removed %n image(s)</source>
        <translation>
            <numerusform>✓ Removed %n image</numerusform>
            <numerusform>✓ Removed %n images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>✓ Removed %n unused image(s)</source>
        <translation>
            <numerusform>✓ Removed %n unused image</numerusform>
            <numerusform>✓ Removed %n unused images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>✓ Removed %n volume(s)</source>
        <translation>
            <numerusform>✓ Removed %n volume</numerusform>
            <numerusform>✓ Removed %n volumes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RemovalRunner</name>
    <message numerus="yes">
        <source>[%1] removing %n container(s)…</source>
        <translation>
            <numerusform>[%1] removing %n container…</numerusform>
            <numerusform>[%1] removing %n containers…</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>[%1] removing %n volume(s)…</source>
        <translation>
            <numerusform>[%1] removing %n volume…</numerusform>
            <numerusform>[%1] removing %n volumes…</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UsageClassification</name>
    <message numerus="yes">
        <source>In use — %n container(s) (running)</source>
        <translation>
            <numerusform>In use — %n container (running)</numerusform>
            <numerusform>In use — %n containers (running)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>In use — %n container(s) (stopped)</source>
        <translation>
            <numerusform>In use — %n container (stopped)</numerusform>
            <numerusform>In use — %n containers (stopped)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>VolumeSections</name>
    <message numerus="yes">
        <source>%n volume(s)</source>
        <translation>
            <numerusform>%n volume</numerusform>
            <numerusform>%n volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1  ·  running  ·  %n volume(s)  ·  %2</source>
        <translation>
            <numerusform>%1  ·  running  ·  %n volume  ·  %2</numerusform>
            <numerusform>%1  ·  running  ·  %n volumes  ·  %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1  ·  stopped  ·  %n volume(s)  ·  %2</source>
        <translation>
            <numerusform>%1  ·  stopped  ·  %n volume  ·  %2</numerusform>
            <numerusform>%1  ·  stopped  ·  %n volumes  ·  %2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>stowage::AllEnginesView</name>
    <message numerus="yes">
        <source>Reading %1 of %n engine(s)…</source>
        <translation>
            <numerusform>Reading %1 of %n engine…</numerusform>
            <numerusform>Reading %1 of %n engines…</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n engine(s) read, %1 not reachable</source>
        <translation>
            <numerusform>%n engine read, %1 not reachable</numerusform>
            <numerusform>%n engines read, %1 not reachable</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n engine(s) read</source>
        <translation>
            <numerusform>%n engine read</numerusform>
            <numerusform>%n engines read</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>stowage::AppModel</name>
    <message numerus="yes">
        <source>[2/2] Disk usage · volume sizes · inspecting %n container(s) · info  ·  %1s</source>
        <translation>
            <numerusform>[2/2] Disk usage · volume sizes · inspecting %n container · info  ·  %1s</numerusform>
            <numerusform>[2/2] Disk usage · volume sizes · inspecting %n containers · info  ·  %1s</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n container(s)</source>
        <translation>
            <numerusform>%n container</numerusform>
            <numerusform>%n containers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n image(s)</source>
        <translation>
            <numerusform>%n image</numerusform>
            <numerusform>%n images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volume(s)</source>
        <translation>
            <numerusform>%n volume</numerusform>
            <numerusform>%n volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n container(s) could not be inspected — %2</source>
        <translation>
            <numerusform>%1 of %n container could not be inspected — %2</numerusform>
            <numerusform>%1 of %n containers could not be inspected — %2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>stowage::BrandBar</name>
    <message numerus="yes">
        <source>%n image(s)</source>
        <translation>
            <numerusform>%n image</numerusform>
            <numerusform>%n images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volume(s)</source>
        <translation>
            <numerusform>%n volume</numerusform>
            <numerusform>%n volumes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>stowage::LogsTab</name>
    <message numerus="yes">
        <source>%n entry(ies)</source>
        <translation>
            <numerusform>%n entry</numerusform>
            <numerusform>%n entries</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Copied %n log line(s) to clipboard.</source>
        <translation>
            <numerusform>Copied %n log line to clipboard.</numerusform>
            <numerusform>Copied %n log lines to clipboard.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>stowage::OverviewTab</name>
    <message numerus="yes">
        <source>%n running</source>
        <translation>
            <numerusform>%n running</numerusform>
            <numerusform>%n running</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>stowage::Removals</name>
    <message numerus="yes">
        <source>%n project(s)</source>
        <translation>
            <numerusform>%n project</numerusform>
            <numerusform>%n projects</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>stowage::VolumesTab</name>
    <message numerus="yes">
        <source>Remove %n Anonymous Orphan(s)</source>
        <translation>
            <numerusform>Remove %n Anonymous Orphan</numerusform>
            <numerusform>Remove %n Anonymous Orphans</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Remove All %n Orphan(s)</source>
        <translation>
            <numerusform>Remove All %n Orphan</numerusform>
            <numerusform>Remove All %n Orphans</numerusform>
        </translation>
    </message>
</context>
</TS>
