// SPDX-License-Identifier: Apache-2.0
#include "ui/model/plant_heats.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "io/descriptor_io.h"

namespace velkarin {

namespace {

// Counts the bytes read, for a progress dialog.
class CountingSource final : public ByteSource {
 public:
  CountingSource(ByteSource& source, std::atomic<qint64>& count) : source_(source), count_(count) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t got = source_.read(buffer, size);
    count_ += static_cast<qint64>(got);
    return got;
  }

 private:
  ByteSource& source_;
  std::atomic<qint64>& count_;
};

}  // namespace

HeatImport PlantHeats::read(const QString& path, const HeatLines& lines, std::atomic<qint64>& bytes,
                            const std::atomic<bool>& cancel) {
  HeatImport result;
  // O_NONBLOCK: a FIFO nobody writes to would hold the worker (and the
  // program's end) in open(); only a regular file is read.
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    result.problem = QString::fromLocal8Bit(std::strerror(errno));
    return result;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    result.problem = QStringLiteral("不是普通文件");
    return result;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  try {
    DescriptorSource file(fd);
    CountingSource counted(file, bytes);
    result.read = readPlantHeats(counted, [&] { return !cancel.load(); });
  } catch (const ReadFailure& failure) {
    result.problem = QString::fromLocal8Bit(std::strerror(failure.error()));
  }
  ::close(fd);
  if (result.problem.isEmpty() && !result.read.cancelled) result.figures = figuresOf(result.read.heats, lines);
  return result;
}

std::vector<HeatFigures> PlantHeats::figuresOf(const std::vector<PlantHeat>& heats, const HeatLines& lines) {
  std::vector<HeatFigures> figures(heats.size());
  for (std::size_t i = 0; i < heats.size(); ++i) {
    const PlantHeat& heat = heats[i];
    if (heat.state && heat.fault.empty()) {
      figures[i] =
          heatFigures(heat.reaction, heat.reaction == lines.shown ? lines.shownLine : lines.otherLine, *heat.state);
    }
  }
  return figures;
}

void PlantHeats::take(HeatImport&& imported, const HeatLines& lines) {
  heats_ = std::move(imported.read.heats);
  figures_ = std::move(imported.figures);
  lines_ = lines;
  if (figures_.size() != heats_.size()) figures_ = figuresOf(heats_, lines);
  fittedLine_.reset();
}

bool PlantHeats::follow(const HeatLines& lines) {
  if (lines_ == lines && figures_.size() == heats_.size()) return false;
  figures_ = figuresOf(heats_, lines);
  lines_ = lines;
  return true;
}

HeatPoints PlantHeats::points() const {
  HeatPoints points;
  for (std::size_t i = 0; i < heats_.size(); ++i) {
    const PlantHeat& heat = heats_[i];
    if (heat.reaction != shown() || !figures_[i].margin) continue;
    const double t = heat.state->temperature - constants::kelvinOffset;
    const bool gains = *figures_[i].margin >= 0;
    (gains ? points.gaining : points.losing).emplace_back(t, heat.state->carbon);
    (gains ? points.parityGaining : points.parityLosing)
        .emplace_back(*figures_[i].equilibriumCarbon, heat.state->carbon);
  }
  return points;
}

std::optional<std::size_t> PlantHeats::nearest(double celsius, double carbon) const {
  std::optional<std::size_t> nearest;
  double best = HUGE_VAL;
  for (std::size_t i = 0; i < heats_.size(); ++i) {
    const PlantHeat& heat = heats_[i];
    if (heat.reaction != shown() || !figures_[i].margin) continue;
    const double dt = (heat.state->temperature - constants::kelvinOffset - celsius) / 10;
    const double dc = std::log10(heat.state->carbon) - std::log10(carbon);
    const double distance = dt * dt + dc * dc;
    if (distance < best) {
      best = distance;
      nearest = i;
    }
  }
  return nearest;
}

LineFitResult PlantHeats::fit() {
  LineFit fit(shown());
  for (const PlantHeat& heat : heats_) {
    if (heat.reaction == shown() && heat.fitted && heat.state) fit.add(*heat.state);
  }
  const LineFitResult r = fit.result();
  fittedLine_.reset();
  if (r.problem == LineFitProblem::None) {
    fittedLine_ = ReactionLine{r.a, r.b};
    fittedR2_ = r.r2;
  }
  return r;
}

}  // namespace velkarin
