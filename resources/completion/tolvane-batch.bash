# bash completion for tolvane-batch                                      -*- shell-script -*-

_tolvane_batch() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} item
  COMPREPLY=()
  case $prev in
    -b | --bitrate)
      COMPREPLY=($(compgen -W "32 40 48 56 64 80 96 112 128 160 192 224 256 320" -- "$cur"))
      return ;;
    -V | --vbr)
      COMPREPLY=($(compgen -W "0 1 2 3 4 5 6 7 8 9" -- "$cur"))
      return ;;
    -m | --mode)
      COMPREPLY=($(compgen -W "stereo swap mono left right" -- "$cur"))
      return ;;
    --priority)
      COMPREPLY=($(compgen -W "idle lowest lower normal higher highest" -- "$cur"))
      return ;;
    --tree)
      COMPREPLY=($(compgen -W "0 1 2 3" -- "$cur"))
      return ;;
    -o | --output-dir)
      COMPREPLY=($(compgen -d -- "$cur"))
      return ;;
    --encoder)
      COMPREPLY=($(compgen -f -- "$cur"))
      return ;;
    --genre)
      # Genre names hold blanks: one a line.
      local IFS=$'\n'
      COMPREPLY=($(compgen -W "$(tolvane-batch --list-genres 2>/dev/null)" -- "$cur"))
      return ;;
    --title | --artist | --album | --comment | --year | -j | --jobs | --shard)
      return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "--bitrate --vbr --mode --priority --crc --private --copyright --copy
      --delete-source --output-dir --tree --mirror --beside --title --artist --album --comment
      --replaygain
      --year --genre
      --no-source-tags --encoder --overwrite --resume --jobs --continue --shard --dry-run --quiet
      --list-genres --help --version" -- "$cur"))
    return
  fi
  # Folders, and the audio files the tool reads.
  while IFS= read -r item; do
    if [[ -d $item ]]; then
      COMPREPLY+=("$item")
    else
      case ${item,,} in *.wav | *.aif | *.aiff | *.flac | *.ogg | *.oga | *.opus) COMPREPLY+=("$item") ;; esac
    fi
  done < <(compgen -f -- "$cur")
}
complete -o filenames -F _tolvane_batch tolvane-batch
