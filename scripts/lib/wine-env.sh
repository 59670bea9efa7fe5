# Sourced by the scripts that run Windows programs under Wine.
#
# A "wine root" is a folder inside the build tree holding one prefix and its
# sandbox home:  <root>/prefix  <root>/home.  Nothing ever touches ~/.wine.

pv_wine_env() {
  local root="$1"
  export WINEPREFIX="$root/prefix"
  export HOME="$root/home"
  export WINEARCH=win64
  export WINEDEBUG=-all
  # No .NET/Gecko installers, no desktop menu entries, no sound drivers
  # (there is no sound card; the drivers only print ALSA noise).
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winealsa.drv,winepulse.drv=d"
}

# Creates a fresh prefix at <root>. HOME must be the sandbox before wineboot:
# the prefix's Desktop/Documents folders become links into HOME.
pv_wine_create_prefix() {
  local root="$1"
  rm -rf "$root"
  mkdir -p "$root/home"
  (
    pv_wine_env "$root"
    timeout 180 wineboot -i </dev/null >/dev/null 2>&1
    # Unmanaged windows: without a window manager every hidden window would
    # otherwise wait about 2 s for one, and keyboard focus misbehaves.
    timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    timeout 60 wineserver -w </dev/null >/dev/null 2>&1
  )
  [[ -f "$root/prefix/system.reg" ]] || { echo "wine: could not create a prefix in $root" >&2; return 1; }
  touch "$root/.ready"
}

# Makes <dest> a copy of the prefix at <template>, with its own home: the
# shell-folder links of the copy are re-pointed into the copy's home.
pv_wine_clone_prefix() {
  local template="$1" dest="$2"
  rm -rf "$dest"
  mkdir -p "$dest/home"
  cp -a "$template/prefix" "$dest/prefix"
  local link
  while IFS= read -r -d '' link; do
    if [[ "$(readlink "$link")" == "$template/home"* ]]; then
      rm "$link"
      mkdir -p "$link"
    fi
  done < <(find "$dest/prefix/drive_c/users" -maxdepth 6 -type l -print0)
  touch "$dest/.ready"
}

# Ensures the never-used template prefix of a build tree exists.
pv_wine_ensure_template() {
  local build="$1"
  local template="$build/wine/template"
  mkdir -p "$build/wine"
  (
    flock -w 300 9 || { echo "wine: template lock timed out" >&2; exit 1; }
    [[ -f "$template/.ready" ]] || pv_wine_create_prefix "$template"
  ) 9>"$build/wine/.template.lock"
}
