#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace velmora::testing {

// A sysfs tree and a device directory written by a test, shaped as Linux
// makes them: /sys/class/tty/NAME is a link into /sys/devices, whose
// `device` leads to the hardware; a USB adapter's attributes sit on its USB
// device directory two levels above the tty (the interface between).
// Everything lives under `root` and is removed with the object.
class FakeSysfs {
 public:
  explicit FakeSysfs(std::filesystem::path root) : root_(std::move(root)) {
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(ClassTty());
    std::filesystem::create_directories(Dev() / "pts");
    std::filesystem::create_directories(Sys() / "devices" / "platform");
  }
  ~FakeSysfs() {
    std::error_code error;
    std::filesystem::remove_all(root_, error);
  }
  FakeSysfs(const FakeSysfs&) = delete;
  FakeSysfs& operator=(const FakeSysfs&) = delete;

  std::filesystem::path Root() const { return root_; }
  std::filesystem::path Sys() const { return root_ / "sys"; }
  std::filesystem::path ClassTty() const { return Sys() / "class" / "tty"; }
  std::filesystem::path Dev() const { return root_ / "dev"; }

  struct Usb {
    std::string vendorId;
    std::string productId;
    std::string manufacturer;  // empty: no file
    std::string product;       // empty: no file
    std::string serial;        // empty: no file
  };

  // A USB device plugged at `usbPath` ("1-2") with the attributes of `usb`.
  void PlugUsb(const std::string& usbPath, const Usb& usb) {
    const std::filesystem::path dir = UsbDir(usbPath);
    std::filesystem::create_directories(dir);
    Write(dir / "idVendor", usb.vendorId);
    Write(dir / "idProduct", usb.productId);
    if (!usb.manufacturer.empty()) Write(dir / "manufacturer", usb.manufacturer);
    if (!usb.product.empty()) Write(dir / "product", usb.product);
    if (!usb.serial.empty()) Write(dir / "serial", usb.serial);
  }
  // The tty `kernelName` on interface `usbInterface` of the USB device at
  // `usbPath` (as usb-serial makes it: the tty's device below the
  // interface), with a node in the device directory unless `node` is false
  // (a test links the node to a pseudo-terminal itself).
  void AddUsbTty(const std::string& kernelName, const std::string& usbPath,
                 const std::string& usbInterface = "1.0", bool node = true) {
    const std::filesystem::path device =
        UsbDir(usbPath) / (usbPath + ":" + usbInterface) / kernelName;
    AddTty(kernelName, device, node);
  }
  // A UART of the machine.
  void AddBuiltInTty(const std::string& kernelName) {
    AddTty(kernelName, Sys() / "devices" / "platform" / "serial8250", true);
    Write(ClassTty() / kernelName / "type", "4");
  }
  // /dev/NAME -> /dev/pts/N, a pseudo-terminal's link.
  void AddPtyLink(const std::string& name, int number) {
    Write(Dev() / "pts" / std::to_string(number), "");
    std::filesystem::create_symlink(Dev() / "pts" / std::to_string(number), Dev() / name);
  }
  // The tty is gone from the class and its node from the device directory.
  void RemoveTty(const std::string& kernelName) {
    std::filesystem::remove_all(ClassTty() / kernelName);
    std::filesystem::remove(Dev() / kernelName);
  }
  // /dev/serial/by-id/NAME -> ../../KERNELNAME, as udev makes it.
  std::filesystem::path AddByIdLink(const std::string& name, const std::string& kernelName) {
    const std::filesystem::path byId = Dev() / "serial" / "by-id";
    std::filesystem::create_directories(byId);
    std::filesystem::remove(byId / name);
    std::filesystem::create_symlink(std::filesystem::path("../..") / kernelName, byId / name);
    return byId / name;
  }

  static void Write(const std::filesystem::path& file, const std::string& line) {
    std::ofstream(file, std::ios::binary) << line << '\n';
  }

 private:
  std::filesystem::path UsbDir(const std::string& usbPath) const {
    return Sys() / "devices" / "pci0000:00" / "0000:00:14.0" / "usb1" / usbPath;
  }
  // /sys/class/tty/NAME -> DEVICE/tty/NAME, whose `device` -> DEVICE.
  void AddTty(const std::string& kernelName, const std::filesystem::path& device, bool node) {
    const std::filesystem::path ttyDir = device / "tty" / kernelName;
    std::filesystem::create_directories(ttyDir);
    std::filesystem::remove(ttyDir / "device");
    std::filesystem::create_directory_symlink(std::filesystem::path("../.."), ttyDir / "device");
    std::filesystem::remove_all(ClassTty() / kernelName);
    std::filesystem::create_directory_symlink(ttyDir, ClassTty() / kernelName);
    if (node) Write(Dev() / kernelName, "");
  }

  std::filesystem::path root_;
};

}  // namespace velmora::testing
