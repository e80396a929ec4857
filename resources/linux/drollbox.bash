# bash completion for drollbox
_drollbox() {
  local cur prev words cword
  _init_completion -s || return
  case $prev in
    --file)
      _filedir dat
      return
      ;;
    --autostart)
      COMPREPLY=($(compgen -W "on off" -- "$cur"))
      return
      ;;
  esac
  $split && return
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "--file --autostart --help --version" -- "$cur"))
  else
    _filedir dat
  fi
} && complete -F _drollbox drollbox
