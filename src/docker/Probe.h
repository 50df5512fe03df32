#pragma once
// The headless diagnostic pass behind `stowage --probe`: six inventory reads,
// six summary lines and the docker program that was run (or one "ERROR:"
// line) on standard output.

#include <QString>
#include <QStringList>

namespace stowage {

class DockerClient;

namespace Probe {

// Performs the reads one after another and returns the lines to print.
QStringList lines(const DockerClient& client);

// Prints the probe's lines for the shared runner to standard output.
void run();

// Whether the command line asks for the probe: an argument exactly "--probe".
bool requested(const QStringList& arguments);

}  // namespace Probe
}  // namespace stowage
