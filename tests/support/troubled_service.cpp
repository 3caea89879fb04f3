// The troubled service's connections and instances: the healthy machine's, wrapped so that
// each step can strike.
#include "troubled_service.h"

#include <stdexcept>
#include <string>

namespace freqsmith::testing {
namespace {

using detect::ServiceConnection;
using detect::ServiceInstance;

class TroubledInstance final : public ServiceInstance {
 public:
  TroubledInstance(std::unique_ptr<ServiceInstance> inner, const TroubledService& service)
      : inner_(std::move(inner)), service_(service) {}
  std::optional<detect::Property> property(std::string_view name) const override {
    service_.strike(Where::Property, name);
    return inner_->property(name);
  }

 private:
  std::unique_ptr<ServiceInstance> inner_;
  const TroubledService& service_;
};

class TroubledConnection final : public ServiceConnection {
 public:
  TroubledConnection(std::unique_ptr<ServiceConnection> inner, const TroubledService& service)
      : inner_(std::move(inner)), service_(service) {}
  std::vector<std::unique_ptr<ServiceInstance>> instancesOf(std::string_view className) override {
    service_.strike(Where::InstancesOf, className);
    std::vector<std::unique_ptr<ServiceInstance>> instances;
    for (auto& instance : inner_->instancesOf(className)) {
      instances.push_back(std::make_unique<TroubledInstance>(std::move(instance), service_));
    }
    return instances;
  }

 private:
  std::unique_ptr<ServiceConnection> inner_;
  const TroubledService& service_;
};

}  // namespace

void TroubledService::strike(Where where, std::string_view name, int connection) const {
  if (where != trouble_.where) return;
  if (where == Where::Connect && connection != trouble_.connection) return;
  if (where != Where::Connect && !detect::sameName(name, trouble_.name)) return;
  switch (trouble_.how) {
    case How::Hang:
      gate_->wait();
      return;
    case How::Throw:
      throw std::runtime_error("the backend failed");
    case How::Fail:
      throw detect::ServiceFailure(std::string(kServiceError));
  }
}

std::unique_ptr<ServiceConnection> TroubledService::connect() {
  strike(Where::Connect, {}, connections_++);
  return std::make_unique<TroubledConnection>(machine_.connect(), *this);
}

}  // namespace freqsmith::testing
