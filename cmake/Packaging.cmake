# `make package`: a Debian package of everything `cmake --install` installs. The libraries it
# links come from dpkg-shlibdeps' scan; plugins are found only at run time, so Qt's display
# platforms and the GStreamer plugin sets that play the formats the player opens are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvella)
set(CPACK_PACKAGE_VENDOR "Corvella")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "skinned media player for audio, video and CDs")
# Lines of the long description stay within 80 columns, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
  "Corvella collects audio files, video files, audio CDs and video CDs in one
playlist and plays them in three bitmap-skinned windows that snap to the screen
and to each other. Playlists are read and written in the player's own format
and imported from M3U, M3U8, PLS and XSPF.")
set(CPACK_PACKAGE_CONTACT "Corvella developers <developers@corvella-player.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.corvella-player.org/")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's X11 and Wayland platforms; playbin, the app sources and sinks, and the common demuxers
# and decoders.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-qpa-plugins, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
# Sound output through PulseAudio or PipeWire's Pulse server, else ALSA; MPEG, ASF and the
# other formats whose decoders live in the further plugin sets.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "gstreamer1.0-pulseaudio | gstreamer1.0-alsa, gstreamer1.0-plugins-bad, gstreamer1.0-plugins-ugly, gstreamer1.0-libav")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "desktop-file-utils, shared-mime-info")

include(CPack)
