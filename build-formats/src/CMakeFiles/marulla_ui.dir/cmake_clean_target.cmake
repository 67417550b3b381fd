file(REMOVE_RECURSE
  "libmarulla_ui.a"
)
